// Real-time safety of block processing, observed from outside: counting replacements of the global allocation
// functions, of the C allocation and the lock functions (the linker's --wrap, see CMakeLists.txt), and a child
// process that the kernel kills at its first system call.
#include "EngineTestSupport.h"

#include <csignal>
#include <cstdio>
#include <mutex>

#include <linux/seccomp.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
thread_local bool counting = false;
thread_local long allocations = 0, locks = 0;
} // namespace

// Each wrapped function counts a call from the counting thread, then calls the real one.
#define KELVANE_COUNTED(result, name, counter, parameters, arguments)                                                  \
    extern "C" result __real_##name parameters;                                                                        \
    extern "C" result __wrap_##name parameters                                                                         \
    {                                                                                                                  \
        counter += counting ? 1 : 0;                                                                                   \
        return __real_##name arguments;                                                                                \
    }
KELVANE_COUNTED(void*, malloc, allocations, (size_t n), (n))
KELVANE_COUNTED(void*, calloc, allocations, (size_t c, size_t n), (c, n))
KELVANE_COUNTED(void*, realloc, allocations, (void* p, size_t n), (p, n))
KELVANE_COUNTED(int, pthread_mutex_lock, locks, (pthread_mutex_t * m), (m))
KELVANE_COUNTED(int, pthread_mutex_trylock, locks, (pthread_mutex_t * m), (m))
KELVANE_COUNTED(int, pthread_rwlock_rdlock, locks, (pthread_rwlock_t * l), (l))
KELVANE_COUNTED(int, pthread_rwlock_wrlock, locks, (pthread_rwlock_t * l), (l))

// Every form of new goes through malloc, so that each is counted (and the address sanitizer sees malloc and free).
void* operator new(size_t n)
{
    if (void* p = malloc(n == 0 ? 1 : n))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n)
{
    return operator new(n);
}
void operator delete(void* p) noexcept
{
    free(p);
}
void operator delete[](void* p) noexcept
{
    free(p);
}
void operator delete(void* p, size_t) noexcept
{
    free(p);
}
void operator delete[](void* p, size_t) noexcept
{
    free(p);
}

using namespace engine_test;

namespace
{
template <typename Function>
std::pair<long, long> allocationsAndLocksDuring(Function&& function)
{
    allocations = locks = 0;
    counting = true;
    function();
    counting = false;
    return {allocations, locks};
}

// Runs blocks with the level, mode and enable switches moving between them (moving them notifies under a
// lock); true when every block allocated nothing and took no lock.
template <typename Sample>
bool cleanBlocks(KelvaneAudioProcessor& processor, juce::AudioBuffer<Sample>& buffer, int from, int to)
{
    juce::MidiBuffer midi;
    bool clean = true;
    for (int block = from; block < to; ++block)
    {
        const int channels = buffer.getNumChannels();
        for (int i = 0; i < buffer.getNumSamples() * channels; ++i)
            buffer.setSample(i % channels, i / channels, (Sample)(2.5 * std::sin(0.05 * (block + i))));
        processor.vocalParameter->setValueNotifyingHost(block % 40 >= 20 ? 1.0f : 0.0f);
        processor.levelParameter->setValueNotifyingHost((float)(block % 10) / 10.0f);
        processor.enableParameter->setValueNotifyingHost(block % 17 == 16 ? 0.0f : 1.0f);
        const auto counts = allocationsAndLocksDuring([&] { processor.processBlock(buffer, midi); });
        clean = clean && counts == std::pair(0L, 0L);
    }
    return clean;
}

constexpr int strictModeUnavailable = 3;

// Runs the function in a child process in which the kernel allows only read, write and exit: any other system
// call kills it. Returns the child's exit code, or minus the signal that ended it.
template <typename Function>
int resultWithoutSystemCalls(Function&& function)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0)
    {
        if (prctl(PR_SET_SECCOMP, SECCOMP_MODE_STRICT) != 0)
            syscall(SYS_exit, strictModeUnavailable);
        syscall(SYS_exit, function() ? 0 : 1); // exit, not exit_group: the only way out strict mode allows
    }
    int status = 0;
    const bool ended = child > 0 && waitpid(child, &status, 0) == child;
    return !ended ? 4 : WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}
} // namespace

TEST(RealTimeSafety, BlocksAllocateNothingTakeNoLockAndMakeNoSystemCall)
{
    // Single or double precision, channels, prepared block size, block size.
    const std::tuple<bool, int, int, int> cases[] = {{true, 1, 512, 512},  {true, 2, 512, 512},  {true, 2, 1024, 32},
                                                     {true, 2, 64, 3000},  {false, 1, 512, 512}, {false, 2, 512, 512},
                                                     {false, 2, 64, 3000}, {true, 2, 256, 0}};
    // The watchers see what they watch: an allocation, a lock, a system call.
    [[maybe_unused]] static const void* volatile escape = nullptr; // the compiler cannot drop what escapes
    ASSERT_GT(allocationsAndLocksDuring([] { escape = std::make_unique<char[]>(100).get(); }).first, 0);
    std::mutex mutex;
    ASSERT_GT(allocationsAndLocksDuring([&] { const std::lock_guard<std::mutex> lock(mutex); }).second, 0);
    const bool strictMode = resultWithoutSystemCalls([] { return true; }) != strictModeUnavailable;
    ASSERT_EQ(strictMode ? resultWithoutSystemCalls([] { return getppid() > 0; }) : -SIGKILL, -SIGKILL);
    for (const auto& [single, channels, prepared, blockSize] : cases)
    {
        auto processor = makePrepared(channels, 48000.0, prepared);
        juce::AudioBuffer<float> floats(channels, blockSize);
        juce::AudioBuffer<double> doubles(channels, blockSize);
        // Both entries run first, so that nothing is left to be set up lazily.
        EXPECT_TRUE(cleanBlocks(*processor, floats, 0, 40) && cleanBlocks(*processor, doubles, 0, 40))
            << channels << " channels, block " << blockSize;
        const auto run = [&, single = single] {
            return single ? cleanBlocks(*processor, floats, 40, 80) : cleanBlocks(*processor, doubles, 40, 80);
        };
        EXPECT_EQ(strictMode ? resultWithoutSystemCalls(run) : 0, 0)
            << channels << " channels, block " << blockSize << " (-9: killed at a system call)";
    }
}
