// Allocation behaviour of the engine, observed through counting replacements of the global allocation
// functions: no allocation while processing blocks, and a clean state when a detector window cannot be
// allocated.
#include "EngineTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
thread_local bool counting = false;
thread_local long allocationCount = 0;
// Number of array allocations still allowed to succeed while armed; below 0 means not armed.
std::atomic<int> arrayAllocationsBeforeFailure { -1 };

void* allocate (std::size_t size)
{
    if (counting)
        ++allocationCount;
    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    if (counting)
        ++allocationCount;
    const auto a = (std::size_t) alignment;
    if (void* p = std::aligned_alloc (a, ((size == 0 ? 1 : size) + a - 1) / a * a))
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
// Counts the allocations made by the calling thread while the function runs.
template <typename Function>
long allocationsDuring (Function&& function)
{
    allocationCount = 0;
    counting = true;
    function();
    counting = false;
    return allocationCount;
}

template <typename Sample>
void fill (juce::AudioBuffer<Sample>& buffer, int blockIndex)
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (c, i, (Sample) (2.5 * std::sin (0.05 * (blockIndex * buffer.getNumSamples() + i))));
}

template <typename Sample>
void expectNoAllocationWhileProcessing (int channels, int preparedBlock, int actualBlock)
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
        EXPECT_EQ (allocationsDuring ([&] { processor->processBlock (buffer, midi); }), 0)
            << channels << " channels, block " << block;
    }
    EXPECT_GT (processor->meterStepLeft.load(), 1.0); // the chain really ran
}
} // namespace

TEST (Allocation, CountingReplacementSeesAllocations)
{
    EXPECT_GT (allocationsDuring ([] { std::vector<double> v (100); }), 0);
}

TEST (Allocation, NothingAllocatedPerBlockFloatMonoAndStereo)
{
    expectNoAllocationWhileProcessing<float> (1, 512, 512);
    expectNoAllocationWhileProcessing<float> (2, 512, 512);
    expectNoAllocationWhileProcessing<float> (2, 1024, 32);
}

TEST (Allocation, NothingAllocatedPerBlockDoubleMonoAndStereo)
{
    expectNoAllocationWhileProcessing<double> (1, 512, 512);
    expectNoAllocationWhileProcessing<double> (2, 512, 512);
}

TEST (Allocation, NothingAllocatedForBlocksLongerThanPrepared)
{
    expectNoAllocationWhileProcessing<float> (1, 64, 3000);
    expectNoAllocationWhileProcessing<float> (2, 64, 3000);
}

TEST (Allocation, NothingAllocatedWhileSwitchedOffOrForEmptyBlocks)
{
    auto processor = makePrepared (2, 48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256), empty (2, 0);
    juce::MidiBuffer midi;
    fill (buffer, 0);
    EXPECT_EQ (allocationsDuring ([&] { processor->processBlock (empty, midi); }), 0);
    processor->enableParameter->setValueNotifyingHost (0.0f);
    EXPECT_EQ (allocationsDuring ([&] { processor->processBlock (buffer, midi); }), 0);
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
