// Block processing: the enable switch, output level, meter steps, both sample precisions and odd blocks.
#include "EngineTestSupport.h"

#include <limits>
#include <random>

using namespace engine_test;

namespace
{
std::vector<std::vector<double>> noisyMusic (int channels, int numSamples, unsigned seed)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<double> noise (-0.05, 0.05);
    std::vector<std::vector<double>> out;
    for (int c = 0; c < channels; ++c)
    {
        auto tone = sine (0.4 + 0.3 * c, 440.0 * (c + 1), 48000.0, numSamples);
        for (int i = 0; i < numSamples; ++i)
        {
            // Quiet stretches, loud bursts and noise: the ramp, both limiters and the meters all move.
            const double envelope = ((i / 6000) % 3 == 0) ? 0.001 : ((i / 6000) % 3 == 1 ? 1.0 : 3.0);
            tone[(size_t) i] = tone[(size_t) i] * envelope + noise (random) * envelope;
        }
        out.push_back (tone);
    }
    return out;
}

// The smallest positive double whose level 20 log10(peak) is at least the given bound.
double smallestPeakAtLeast (double boundDb)
{
    double p = std::pow (10.0, boundDb / 20.0);
    while (20.0 * std::log10 (p) >= boundDb)
        p = std::nextafter (p, 0.0);
    while (20.0 * std::log10 (p) < boundDb)
        p = std::nextafter (p, 1.0e9);
    return p;
}

// Fills both blocks from `input` at `start`: the float one rounded, the double one with exactly those
// rounded values, so both precisions see the same signal.
void fillWithTheSameSamples (juce::AudioBuffer<float>& floats, juce::AudioBuffer<double>& doubles,
                             const std::vector<std::vector<double>>& input, int start)
{
    for (int c = 0; c < floats.getNumChannels(); ++c)
        for (int i = 0; i < floats.getNumSamples(); ++i)
        {
            floats.setSample (c, i, (float) input[(size_t) c][(size_t) (start + i)]);
            doubles.setSample (c, i, (double) floats.getSample (c, i));
        }
}
} // namespace

TEST (EnableSwitch, OffPassesAudioUnchangedWithMetersZeroAndStateFrozen)
{
    auto processor = makePrepared (2, 48000.0, 480);
    auto input = noisyMusic (2, 4800, 1);
    processDouble (*processor, input, 480);
    ASSERT_GT (processor->meterStepLeft.load(), 0.0);

    processor->enableParameter->setValueNotifyingHost (0.49f);
    const auto before = snapshot (*processor->engineState);
    const auto beforeCoefficients = coefficientsOf (*processor->engineState);
    auto more = noisyMusic (2, 4800, 2);
    EXPECT_EQ (processDouble (*processor, more, 480), more);
    EXPECT_EQ (processor->meterStepLeft.load(), 0.0);
    EXPECT_EQ (processor->meterStepRight.load(), 0.0);
    EXPECT_EQ (snapshot (*processor->engineState), before);
    EXPECT_EQ (coefficientsOf (*processor->engineState), beforeCoefficients);

    // Switching on again resumes from that state, as if the off stretch had not happened.
    auto twin = makePrepared (2, 48000.0, 480);
    processDouble (*twin, input, 480);
    processor->enableParameter->setValueNotifyingHost (1.0f);
    EXPECT_EQ (processDouble (*processor, more, 480), processDouble (*twin, more, 480));
}

TEST (EnableSwitch, OnFromOneHalf)
{
    auto processor = makePrepared (1, 48000.0, 64);
    processor->enableParameter->setValueNotifyingHost (0.5f);
    std::vector<std::vector<double>> block { std::vector<double> (64, 0.25) };
    processOnce (*processor, block);
    EXPECT_NE (block[0][10], 0.25);
    EXPECT_EQ (processor->meterStepLeft.load(), 5.0); // 0.25 at -4.5 dB: -16.5 dB
}

TEST (EnableSwitch, FloatPathAlsoPassesAudioBitForBit)
{
    auto processor = makePrepared (2, 48000.0, 256);
    processor->enableParameter->setValueNotifyingHost (0.0f);
    juce::AudioBuffer<float> block (2, 256);
    std::mt19937 random (3);
    std::uniform_real_distribution<float> any (-4.0f, 4.0f);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 256; ++i)
            block.setSample (c, i, any (random));
    block.setSample (0, 5, std::numeric_limits<float>::quiet_NaN());
    block.setSample (1, 7, 1.0e-40f);
    juce::AudioBuffer<float> copy (block);
    juce::MidiBuffer midi;
    processor->processBlock (block, midi);
    for (int c = 0; c < 2; ++c)
        EXPECT_EQ (std::memcmp (block.getReadPointer (c), copy.getReadPointer (c), 256 * sizeof (float)), 0);
}

TEST (BlockProcessing, EmptyBlockSetsMetersToOneAndChangesOnlyDetectorCoefficients)
{
    auto processor = makePrepared (2, 48000.0, 480);
    auto input = noisyMusic (2, 4800, 4);
    processDouble (*processor, input, 480);
    processor->enableParameter->setValueNotifyingHost (0.0f);
    processDouble (*processor, input, 480); // meters to 0
    processor->enableParameter->setValueNotifyingHost (1.0f);
    processor->vocalParameter->setValueNotifyingHost (1.0f);
    const auto before = snapshot (*processor->engineState);
    const auto beforeCoefficients = coefficientsOf (*processor->engineState);

    juce::AudioBuffer<double> empty (2, 0);
    juce::MidiBuffer midi;
    processor->processBlock (empty, midi);
    EXPECT_EQ (processor->meterStepLeft.load(), 1.0);
    EXPECT_EQ (processor->meterStepRight.load(), 1.0);
    EXPECT_EQ (snapshot (*processor->engineState), before);
    EXPECT_NE (coefficientsOf (*processor->engineState), beforeCoefficients);

    juce::AudioBuffer<float> emptyFloat (2, 0);
    processor->processBlock (emptyFloat, midi);
    EXPECT_EQ (processor->meterStepLeft.load(), 1.0);
}

TEST (BlockProcessing, SilenceInGivesSilenceOutAndMeterOne)
{
    auto processor = makePrepared (2, 48000.0, 480);
    std::vector<std::vector<double>> silence (2, std::vector<double> (4800, 0.0));
    EXPECT_EQ (processDouble (*processor, silence, 480), silence);
    EXPECT_EQ (processor->meterStepLeft.load(), 1.0);
    EXPECT_EQ (processor->meterStepRight.load(), 1.0);

    juce::AudioBuffer<float> cleared (2, 480);
    cleared.clear();
    juce::MidiBuffer midi;
    processor->processBlock (cleared, midi);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 480; ++i)
            EXPECT_EQ (cleared.getSample (c, i), 0.0f);
}

TEST (BlockProcessing, LoudSineSettlesJustBelowFullScale)
{
    auto processor = makePrepared (1, 48000.0, 480);
    processor->levelParameter->setValueNotifyingHost (0.8f);
    std::vector<std::vector<double>> input { sine (0.5, 1000.0, 48000.0, 48000 * 3) };
    const auto output = processDouble (*processor, input, 480);
    EXPECT_EQ (processor->engineState->boostRamp, 1.0);
    EXPECT_NEAR (peakOf (output[0], 48000 * 2), 0.99903, 0.00002);
    // Until stage two has released what it caught at the onset the peak is lower.
    const std::vector<double> early (output[0].begin() + 4800, output[0].begin() + 9600);
    EXPECT_LT (peakOf (early), 0.998);
    EXPECT_EQ (processor->meterStepLeft.load(), 9.0);
}

TEST (BlockProcessing, SignalIsBoostedUntouchedByTheLimitersAndQuietSignalIsNot)
{
    auto boosted = makePrepared (1, 48000.0, 480);
    boosted->levelParameter->setValueNotifyingHost (0.8f);
    std::vector<std::vector<double>> signal { sine (0.01, 1000.0, 48000.0, 48000) };
    EXPECT_NEAR (peakOf (processDouble (*boosted, signal, 480)[0], 24000), 0.11, 0.0005);
    EXPECT_EQ (boosted->engineState->peakReduction[0][0], 0.0);

    auto quiet = makePrepared (1, 48000.0, 480);
    quiet->levelParameter->setValueNotifyingHost (0.8f);
    std::vector<std::vector<double>> faint { sine (0.001, 1000.0, 48000.0, 48000) };
    EXPECT_NEAR (peakOf (processDouble (*quiet, faint, 480)[0], 24000), 0.001, 0.000001);
    EXPECT_EQ (quiet->engineState->boostRamp, 0.0);
}

TEST (OutputLevel, MinusTwelveToPlusThreeDecibels)
{
    // 15 v - 12 dB. A quiet input (the ramp stays at 0, the limiters idle) that is a power of two, so the
    // output divided by the input is the level gain itself.
    const std::pair<float, double> table[] = { { 0.0f, -12.0 }, { 0.25f, -8.25 }, { 0.5f, -4.5 }, { 1.0f, 3.0 } };
    const double input = 1.0 / 1024.0;
    for (const auto& [value, db] : table)
    {
        auto processor = makePrepared (1, 48000.0, 8);
        processor->levelParameter->setValueNotifyingHost (value);
        ASSERT_EQ (processor->levelParameter->get(), value);
        std::vector<std::vector<double>> block { std::vector<double> (8, input) };
        processOnce (*processor, block);
        for (double v : block[0])
            EXPECT_NEAR (v / input, std::pow (10.0, db / 20.0), 1e-14) << value;
    }
}

TEST (OutputLevel, ALevelAboveZeroDecibelsCanExceedFullScaleAndShowsStepEleven)
{
    auto processor = makePrepared (2, 48000.0, 480);
    processor->levelParameter->setValueNotifyingHost (1.0f);
    std::vector<std::vector<double>> input { sine (0.5, 1000.0, 48000.0, 48000 * 3),
                                             sine (0.5, 1000.0, 48000.0, 48000 * 3) };
    const auto output = processDouble (*processor, input, 480);
    EXPECT_GT (peakOf (output[0], 48000 * 2), 1.4);
    EXPECT_EQ (processor->meterStepLeft.load(), 11.0);
    EXPECT_EQ (processor->meterStepRight.load(), 11.0);
}

TEST (MeterSteps, TableBounds)
{
    EXPECT_EQ (meterStepForPeak (0.0), 1.0);
    EXPECT_EQ (meterStepForPeak (1e-310), 1.0);
    EXPECT_EQ (meterStepForPeak (std::numeric_limits<double>::infinity()), 1.0);
    EXPECT_EQ (meterStepForPeak (std::numeric_limits<double>::quiet_NaN()), 1.0);
    EXPECT_EQ (meterStepForPeak (1e-300), 1.0);
    EXPECT_EQ (meterStepForPeak (1.0), 10.0);
    EXPECT_EQ (meterStepForPeak (std::nextafter (1.0, 0.0)), 9.0);
    EXPECT_EQ (meterStepForPeak (1000.0), 11.0);

    const double bounds[] = { -48, -36, -24, -18, -12, -9, -6, -3, 0, 2.9 };
    for (int k = 0; k < 10; ++k)
    {
        const double atBound = smallestPeakAtLeast (bounds[k]);
        EXPECT_EQ (meterStepForPeak (atBound), k + 2.0) << bounds[k];
        EXPECT_EQ (meterStepForPeak (std::nextafter (atBound, 0.0)), k + 1.0) << bounds[k];
    }
}

TEST (MeterSteps, MonoBlockWritesTheSameStepToBoth)
{
    auto processor = makePrepared (1, 48000.0, 480);
    std::vector<std::vector<double>> input { sine (0.05, 1000.0, 48000.0, 4800) };
    processDouble (*processor, input, 480);
    EXPECT_GT (processor->meterStepLeft.load(), 1.0);
    EXPECT_EQ (processor->meterStepLeft.load(), processor->meterStepRight.load());
}

TEST (MeterSteps, SilentRightChannelShowsOneWhateverTheLeft)
{
    auto processor = makePrepared (2, 48000.0, 480);
    std::vector<std::vector<double>> input { sine (0.5, 1000.0, 48000.0, 4800), std::vector<double> (4800, 0.0) };
    processDouble (*processor, input, 480);
    EXPECT_GT (processor->meterStepLeft.load(), 1.0);
    EXPECT_EQ (processor->meterStepRight.load(), 1.0);
}

TEST (MeterSteps, StepFollowsTheBlockPeak)
{
    auto processor = makePrepared (1, 48000.0, 480);
    // Ramp held at 0 and a small constant: the output is the input times the level gain (-4.5 dB).
    processor->engineState->ringSums[0] = -1.0e9;
    std::vector<std::vector<double>> block { std::vector<double> (480, 0.0) };
    block[0][100] = 0.1; // -20 dB in, -24.5 dB out: step 3
    processOnce (*processor, block);
    EXPECT_EQ (processor->meterStepLeft.load(), 3.0);
    block[0].assign (480, 0.0);
    block[0][7] = -0.5; // -6 dB in, -10.5 dB out: step 6
    processOnce (*processor, block);
    EXPECT_EQ (processor->meterStepLeft.load(), 6.0);
}

TEST (Precision, SinglePrecisionEqualsNarrowedDoublePrecision)
{
    for (int channels : { 1, 2 })
    {
        const int blockSize = 256;
        auto single = makePrepared (channels, 48000.0, blockSize);
        auto twin = makePrepared (channels, 48000.0, blockSize);
        const auto input = noisyMusic (channels, 48000, 5);
        juce::MidiBuffer midi;
        for (int start = 0; start + blockSize <= 48000; start += blockSize)
        {
            juce::AudioBuffer<float> floats (channels, blockSize);
            juce::AudioBuffer<double> doubles (channels, blockSize);
            fillWithTheSameSamples (floats, doubles, input, start);
            single->processBlock (floats, midi);
            twin->processBlock (doubles, midi);
            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < blockSize; ++i)
                    ASSERT_EQ (floats.getSample (c, i), (float) doubles.getSample (c, i)) << start + i;
            ASSERT_EQ (single->meterStepLeft.load(), twin->meterStepLeft.load());
            ASSERT_EQ (single->meterStepRight.load(), twin->meterStepRight.load());
        }
    }
}

TEST (Precision, BlockLongerThanPreparedIsProcessedAsOneBlock)
{
    for (int channels : { 1, 2 })
    {
        // Prepared for short blocks, then handed blocks far longer than that without a new preparation.
        auto single = makePrepared (channels, 48000.0, 32);
        auto twin = makePrepared (channels, 48000.0, 32);
        const auto input = noisyMusic (channels, 48000, 6);
        juce::MidiBuffer midi;
        const int lengths[] = { 20000, 28000 };
        int start = 0;
        for (int length : lengths)
        {
            juce::AudioBuffer<float> floats (channels, length);
            juce::AudioBuffer<double> doubles (channels, length);
            fillWithTheSameSamples (floats, doubles, input, start);
            single->processBlock (floats, midi);
            twin->processBlock (doubles, midi);
            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < length; ++i)
                    ASSERT_EQ (floats.getSample (c, i), (float) doubles.getSample (c, i)) << start + i;
            EXPECT_EQ (single->meterStepLeft.load(), twin->meterStepLeft.load());
            EXPECT_EQ (single->meterStepRight.load(), twin->meterStepRight.load());
            EXPECT_EQ (snapshot (*single->engineState), snapshot (*twin->engineState));
            start += length;
        }
    }
}

TEST (Precision, ExtraChannelsBeyondTheLayoutAreLeftAlone)
{
    auto processor = makePrepared (2, 48000.0, 64);
    juce::AudioBuffer<float> block (3, 64);
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 64; ++i)
            block.setSample (c, i, 0.25f * (float) (c + 1));
    juce::MidiBuffer midi;
    processor->processBlock (block, midi);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ (block.getSample (2, i), 0.75f);
}

TEST (OddBlocks, UnpreparedProcessorPassesAudioUnchanged)
{
    KelvaneAudioProcessor processor;
    processor.setPlayConfigDetails (2, 2, 48000.0, 64);
    auto input = noisyMusic (2, 64, 7);
    EXPECT_EQ (processDouble (processor, input, 64), input);
    juce::AudioBuffer<float> block (2, 64);
    block.clear();
    block.setSample (0, 3, 0.5f);
    juce::MidiBuffer midi;
    processor.processBlock (block, midi);
    EXPECT_EQ (block.getSample (0, 3), 0.5f);
    EXPECT_EQ (processor.meterStepLeft.load(), 0.0);
}

TEST (OddBlocks, NoUsableSampleRatePassesAudioUnchanged)
{
    for (double rate : { 0.0, -44100.0, std::numeric_limits<double>::quiet_NaN() })
    {
        KelvaneAudioProcessor processor;
        processor.setPlayConfigDetails (2, 2, rate, 64);
        processor.prepareToPlay (rate, 64);
        auto input = noisyMusic (2, 640, 8);
        EXPECT_EQ (processDouble (processor, input, 64), input) << rate;
        EXPECT_EQ (processor.meterStepLeft.load(), 0.0);
    }
}

TEST (OddBlocks, BlockWithoutChannelsIsHarmless)
{
    auto processor = makePrepared (2, 48000.0, 64);
    juce::AudioBuffer<double> none (0, 64);
    juce::AudioBuffer<float> noneFloat (0, 64);
    juce::MidiBuffer midi;
    processor->processBlock (none, midi);
    processor->processBlock (noneFloat, midi);
    EXPECT_EQ (processor->meterStepLeft.load(), 0.0);
}

TEST (OddBlocks, CommonAndUncommonSampleRatesGiveFiniteLimitedOutput)
{
    for (double rate : { 8000.0, 44100.5, 192000.0 })
    {
        auto processor = makePrepared (2, rate, 512);
        const int n = (int) rate;
        std::vector<std::vector<double>> input { sine (0.5, 1000.0, rate, n), sine (0.3, 1500.0, rate, n) };
        input[0][100] = std::numeric_limits<double>::infinity();
        input[1][200] = std::numeric_limits<double>::quiet_NaN();
        const auto output = processDouble (*processor, input, 512);
        for (const auto& channel : output)
            for (double v : channel)
                ASSERT_TRUE (std::isfinite (v)) << rate;
        EXPECT_EQ (processor->engineState->boostRamp, 1.0) << rate;
        // Limited to about full scale, then the -4.5 dB output level (0.5957).
        EXPECT_LT (peakOf (output[0]), 0.6) << rate;
        EXPECT_LT (peakOf (output[1]), 0.6) << rate;
    }
}

TEST (OddBlocks, PreparationBetweenBlocksRestartsFromSilence)
{
    auto processor = makePrepared (2, 48000.0, 480);
    auto input = noisyMusic (2, 14400, 9);
    processDouble (*processor, input, 480);
    ASSERT_GT (processor->engineState->boostRamp, 0.0);
    processor->prepareToPlay (48000.0, 480);
    auto fresh = makePrepared (2, 48000.0, 480);
    auto next = noisyMusic (2, 4800, 10);
    EXPECT_EQ (processDouble (*processor, next, 480), processDouble (*fresh, next, 480));
}
