// Real-time safety of the engine's block processing, observed from outside: counting replacements of the
// global allocation functions, of the C allocation functions and of the mutex operations (the latter two
// through the linker's --wrap, see CMakeLists.txt), and a child process that the kernel kills at its first
// system call. Also: a clean state when a detector window cannot be allocated.
#include "EngineTestSupport.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

#include <linux/seccomp.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
thread_local bool counting = false;
thread_local long allocationCount = 0;
thread_local long lockCount = 0;
// Number of array allocations still allowed to succeed while armed; below 0 means not armed.
std::atomic<int> arrayAllocationsBeforeFailure { -1 };

inline void noteAllocation() noexcept
{
    if (counting)
        ++allocationCount;
}

inline void noteLock() noexcept
{
    if (counting)
        ++lockCount;
}
} // namespace

// The real functions behind the wrapped names (linker option --wrap=NAME).
extern "C"
{
void* __real_malloc (std::size_t);
void* __real_calloc (std::size_t, std::size_t);
void* __real_realloc (void*, std::size_t);
void* __real_aligned_alloc (std::size_t, std::size_t);
int __real_posix_memalign (void**, std::size_t, std::size_t);
int __real_pthread_mutex_lock (pthread_mutex_t*);
int __real_pthread_mutex_trylock (pthread_mutex_t*);
int __real_pthread_rwlock_rdlock (pthread_rwlock_t*);
int __real_pthread_rwlock_wrlock (pthread_rwlock_t*);

void* __wrap_malloc (std::size_t size)
{
    noteAllocation();
    return __real_malloc (size);
}

void* __wrap_calloc (std::size_t count, std::size_t size)
{
    noteAllocation();
    return __real_calloc (count, size);
}

void* __wrap_realloc (void* p, std::size_t size)
{
    noteAllocation();
    return __real_realloc (p, size);
}

void* __wrap_aligned_alloc (std::size_t alignment, std::size_t size)
{
    noteAllocation();
    return __real_aligned_alloc (alignment, size);
}

int __wrap_posix_memalign (void** result, std::size_t alignment, std::size_t size)
{
    noteAllocation();
    return __real_posix_memalign (result, alignment, size);
}

int __wrap_pthread_mutex_lock (pthread_mutex_t* mutex)
{
    noteLock();
    return __real_pthread_mutex_lock (mutex);
}

int __wrap_pthread_mutex_trylock (pthread_mutex_t* mutex)
{
    noteLock();
    return __real_pthread_mutex_trylock (mutex);
}

int __wrap_pthread_rwlock_rdlock (pthread_rwlock_t* lock)
{
    noteLock();
    return __real_pthread_rwlock_rdlock (lock);
}

int __wrap_pthread_rwlock_wrlock (pthread_rwlock_t* lock)
{
    noteLock();
    return __real_pthread_rwlock_wrlock (lock);
}
}

namespace
{
void* allocate (std::size_t size)
{
    noteAllocation();
    if (void* p = __real_malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    noteAllocation();
    const auto a = (std::size_t) alignment;
    if (void* p = __real_aligned_alloc (a, ((size == 0 ? 1 : size) + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

void* allocateArray (std::size_t size)
{
    int remaining = arrayAllocationsBeforeFailure.load();
    while (remaining >= 0)
    {
        if (remaining == 0)
        {
            arrayAllocationsBeforeFailure = -1;
            throw std::bad_alloc();
        }
        if (arrayAllocationsBeforeFailure.compare_exchange_weak (remaining, remaining - 1))
            break;
    }
    return allocate (size);
}
} // namespace

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocateArray (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocateArray (size); } catch (...) { return nullptr; }
}
void* operator new (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }
void operator delete (void* p, const std::nothrow_t&) noexcept { std::free (p); }
void operator delete[] (void* p, const std::nothrow_t&) noexcept { std::free (p); }
void operator delete (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }

using namespace engine_test;

namespace
{
struct Counts
{
    long allocations = 0;
    long locks = 0;
};

// Counts the allocations and lock operations made by the calling thread while the function runs.
template <typename Function>
Counts countsDuring (Function&& function)
{
    allocationCount = 0;
    lockCount = 0;
    counting = true;
    function();
    counting = false;
    return { allocationCount, lockCount };
}

template <typename Sample>
void fill (juce::AudioBuffer<Sample>& buffer, int blockIndex)
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (c, i, (Sample) (2.5 * std::sin (0.05 * (blockIndex * buffer.getNumSamples() + i))));
}

template <typename Sample>
void expectNothingAllocatedOrLockedWhileProcessing (int channels, int preparedBlock, int actualBlock)
{
    auto processor = makePrepared (channels, 48000.0, preparedBlock);
    juce::AudioBuffer<Sample> buffer (channels, actualBlock);
    juce::MidiBuffer midi;
    for (int block = 0; block < 200; ++block)
    {
        fill (buffer, block);
        if (block == 100)
            processor->vocalParameter->setValueNotifyingHost (1.0f);
        if (block == 150)
            processor->levelParameter->setValueNotifyingHost (0.9f);
        const auto counts = countsDuring ([&] { processor->processBlock (buffer, midi); });
        EXPECT_EQ (counts.allocations, 0) << channels << " channels, block " << block;
        EXPECT_EQ (counts.locks, 0) << channels << " channels, block " << block;
    }
    EXPECT_GT (processor->meterStepLeft.load(), 1.0); // the chain really ran
}

constexpr int strictModeUnavailable = 3;

// Runs the function in a child process in which the kernel allows only read, write and exit: any other
// system call kills the child. Returns the child's exit code, or minus the signal that ended it.
template <typename Function>
int resultWithoutSystemCalls (Function&& function)
{
    std::fflush (stdout);
    std::fflush (stderr);
    const pid_t child = fork();
    if (child == 0)
    {
        if (prctl (PR_SET_SECCOMP, SECCOMP_MODE_STRICT) != 0)
            syscall (SYS_exit, strictModeUnavailable);
        const bool ok = function();
        syscall (SYS_exit, ok ? 0 : 1); // exit, not exit_group: the only way out strict mode allows
    }
    int status = 0;
    if (child < 0 || waitpid (child, &status, 0) != child)
        return 4;
    return WIFSIGNALED (status) ? -WTERMSIG (status) : WEXITSTATUS (status);
}

template <typename Sample>
void expectNoSystemCallWhileProcessing (int channels, int preparedBlock, int actualBlock)
{
    auto processor = makePrepared (channels, 48000.0, preparedBlock);
    juce::AudioBuffer<Sample> buffer (channels, actualBlock);
    juce::MidiBuffer midi;
    // Every code path once before, so that nothing is left to be resolved or set up lazily.
    for (int block = 0; block < 4; ++block)
    {
        fill (buffer, block);
        processor->vocalParameter->setValueNotifyingHost (block % 2 == 0 ? 1.0f : 0.0f);
        processor->processBlock (buffer, midi);
    }

    const int result = resultWithoutSystemCalls ([&] {
        for (int block = 4; block < 40; ++block)
        {
            fill (buffer, block);
            processor->vocalParameter->setValueNotifyingHost (block >= 20 ? 1.0f : 0.0f);
            processor->processBlock (buffer, midi);
        }
        return processor->meterStepLeft.load() > 1.0;
    });
    if (result == strictModeUnavailable)
        GTEST_SKIP() << "the kernel offers no strict system-call mode here";
    EXPECT_EQ (result, 0) << channels << " channels, prepared " << preparedBlock << ", block " << actualBlock
                          << " (-9: killed at a system call)";
}
} // namespace

TEST (Allocation, CountingReplacementsSeeAllocationsAndLocks)
{
    // Results are kept in a volatile, so that the compiler cannot drop an allocation it sees freed again.
    [[maybe_unused]] static const void* volatile escape = nullptr;
    EXPECT_GT (countsDuring ([] {
                   std::vector<double> v (100);
                   escape = v.data();
               }).allocations,
               0);
    EXPECT_GT (countsDuring ([] {
                   juce::AudioBuffer<double> heapBuffer (2, 64);
                   escape = heapBuffer.getReadPointer (1);
               }).allocations,
               0);
    EXPECT_GT (countsDuring ([] {
                   void* p = std::malloc (16);
                   escape = p;
                   std::free (p);
               }).allocations,
               0);
    juce::CriticalSection section;
    EXPECT_GT (countsDuring ([&] { const juce::ScopedLock lock (section); }).locks, 0);
    std::mutex mutex;
    EXPECT_GT (countsDuring ([&] { const std::lock_guard<std::mutex> lock (mutex); }).locks, 0);
}

TEST (Allocation, NothingAllocatedPerBlockFloatMonoAndStereo)
{
    expectNothingAllocatedOrLockedWhileProcessing<float> (1, 512, 512);
    expectNothingAllocatedOrLockedWhileProcessing<float> (2, 512, 512);
    expectNothingAllocatedOrLockedWhileProcessing<float> (2, 1024, 32);
}

TEST (Allocation, NothingAllocatedPerBlockDoubleMonoAndStereo)
{
    expectNothingAllocatedOrLockedWhileProcessing<double> (1, 512, 512);
    expectNothingAllocatedOrLockedWhileProcessing<double> (2, 512, 512);
    expectNothingAllocatedOrLockedWhileProcessing<double> (2, 64, 3000);
}

TEST (Allocation, NothingAllocatedForBlocksLongerThanPrepared)
{
    expectNothingAllocatedOrLockedWhileProcessing<float> (1, 64, 3000);
    expectNothingAllocatedOrLockedWhileProcessing<float> (2, 64, 3000);
}

TEST (Allocation, NothingAllocatedWhileSwitchedOffOrForEmptyBlocks)
{
    auto processor = makePrepared (2, 48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256), empty (2, 0);
    juce::MidiBuffer midi;
    fill (buffer, 0);
    auto counts = countsDuring ([&] { processor->processBlock (empty, midi); });
    EXPECT_EQ (counts.allocations + counts.locks, 0);
    processor->enableParameter->setValueNotifyingHost (0.0f);
    counts = countsDuring ([&] { processor->processBlock (buffer, midi); });
    EXPECT_EQ (counts.allocations + counts.locks, 0);
}

TEST (SystemCalls, TheStrictChildReallyDiesAtASystemCall)
{
    const int result = resultWithoutSystemCalls ([] { return true; });
    if (result == strictModeUnavailable)
        GTEST_SKIP() << "the kernel offers no strict system-call mode here";
    EXPECT_EQ (result, 0);
    EXPECT_EQ (resultWithoutSystemCalls ([] { return getppid() > 0; }), -SIGKILL);
}

TEST (SystemCalls, NoneWhileProcessingFloatAndDoubleMonoAndStereo)
{
    expectNoSystemCallWhileProcessing<float> (1, 512, 512);
    expectNoSystemCallWhileProcessing<float> (2, 512, 512);
    expectNoSystemCallWhileProcessing<double> (1, 512, 512);
    expectNoSystemCallWhileProcessing<double> (2, 512, 512);
}

TEST (SystemCalls, NoneForBlocksLongerThanPrepared)
{
    expectNoSystemCallWhileProcessing<float> (1, 64, 3000);
    expectNoSystemCallWhileProcessing<float> (2, 64, 3000);
}

class FailedWindowAllocation : public ::testing::TestWithParam<int>
{
};

TEST_P (FailedWindowAllocation, LeavesNoWindowsPassesAudioAndRecovers)
{
    auto processor = makePrepared (2, 48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);
    juce::MidiBuffer midi;
    fill (buffer, 0);
    processor->processBlock (buffer, midi);

    // The left (0) or the right (1) window cannot be allocated.
    arrayAllocationsBeforeFailure = GetParam();
    EXPECT_THROW (processor->prepareToPlay (96000.0, 256), std::bad_alloc);
    arrayAllocationsBeforeFailure = -1;
    EXPECT_EQ (processor->engineState->rings[0], nullptr);
    EXPECT_EQ (processor->engineState->rings[1], nullptr);

    // Without windows a block passes unchanged, in both precisions, and shows the switched-off meter.
    fill (buffer, 1);
    juce::AudioBuffer<float> copy (buffer);
    processor->processBlock (buffer, midi);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ (buffer.getSample (c, i), copy.getSample (c, i));
    EXPECT_EQ (processor->meterStepLeft.load(), 0.0);
    juce::AudioBuffer<double> doubles (2, 256);
    fill (doubles, 2);
    juce::AudioBuffer<double> doublesCopy (doubles);
    processor->processBlock (doubles, midi);
    EXPECT_EQ (doubles.getSample (1, 17), doublesCopy.getSample (1, 17));

    // A later preparation that succeeds brings the chain back.
    processor->prepareToPlay (96000.0, 256);
    EXPECT_EQ (processor->engineState->windowLength, 960);
    ASSERT_NE (processor->engineState->rings[1], nullptr);
    fill (buffer, 3);
    processor->processBlock (buffer, midi);
    EXPECT_GE (processor->meterStepLeft.load(), 1.0);
    // Destruction follows (the sanitizer build catches a double release).
}

INSTANTIATE_TEST_SUITE_P (LeftOrRight, FailedWindowAllocation, ::testing::Values (0, 1));
