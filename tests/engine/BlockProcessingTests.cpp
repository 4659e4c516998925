// Whole blocks through the processor: the switches, block sizes, the output level, linked limiting, meter steps.
#include "EngineTestSupport.h"

#include "MeterSteps.h"

#include <cstring>

using namespace engine_test;

namespace
{
// Tones whose level moves between quiet, medium and loud every 6000 samples: ramp and limiters both work.
Channels music(int numSamples)
{
    Channels out{sine(0.4, 440.0, 48000.0, numSamples), sine(0.7, 880.0, 48000.0, numSamples)};
    for (size_t i = 0; i < (size_t)numSamples * 2; ++i)
        out[i % 2][i / 2] *= (i / 12000) % 3 == 0 ? 0.001 : ((i / 12000) % 3 == 1 ? 1.0 : 3.0);
    return out;
}

// Whether a block (with a NaN in it) passes bit for bit, with both meter steps at 0.
template <typename Sample>
bool passesUnchanged(KelvaneAudioProcessor& processor)
{
    juce::AudioBuffer<Sample> block(2, 64);
    for (int i = 0; i < 128; ++i)
        block.setSample(i % 2, i / 2, (Sample)(i == 5 ? NAN : 3.0 * std::sin(i)));
    juce::AudioBuffer<Sample> copy(block);
    juce::MidiBuffer midi;
    processor.processBlock(block, midi);
    const auto same = [&](int c) {
        return std::memcmp(block.getReadPointer(c), copy.getReadPointer(c), 64 * sizeof(Sample)) == 0;
    };
    return processor.meterStepLeft.load() == 0.0 && processor.meterStepRight.load() == 0.0 && same(0) && same(1);
}
} // namespace

TEST(BlockProcessing, SwitchedOffPassesAudioBitForBitAndResumesWhereItStopped)
{
    auto processor = makePrepared(2, 48000.0), twin = makePrepared(2, 48000.0);
    const auto first = music(9600), second = music(4800);
    process(*processor, first);
    process(*twin, first);
    processor->enableParameter->setValueNotifyingHost(0.49f);
    EXPECT_TRUE(passesUnchanged<float>(*processor));
    EXPECT_TRUE(passesUnchanged<double>(*processor));
    processor->enableParameter->setValueNotifyingHost(0.5f);
    EXPECT_EQ(process(*processor, second), process(*twin, second));
}

TEST(BlockProcessing, OutputDoesNotDependOnHowTheStreamIsCutIntoBlocks)
{
    const auto input = music(24000);
    auto whole = makePrepared(2, 48000.0, 24000);
    const auto expected = process(*whole, input, 24000);
    for (size_t blockSize : {1u, 7u, 512u})
    {
        auto processor = makePrepared(2, 48000.0);
        EXPECT_EQ(process(*processor, input, blockSize), expected) << blockSize;
    }
}

TEST(BlockProcessing, LevelMovedWithinABlockShowsFromThatSampleOn)
{
    EngineState engine;
    engine.prepare(48000.0);
    ASSERT_TRUE(engine.beginBlock(48000.0, false, 200));
    ScriptedLevel level; // levels 0, 1, 0.5: -12, +3, -4.5 dB
    for (int i = 0; i < 200; ++i)
        level.values.push_back(i < 77 ? 0.0f : (i < 150 ? 1.0f : 0.5f));
    std::vector<double> block(200, 0x1p-10); // quiet: no boost, no reduction
    engine.process(block.data(), (double*)nullptr, 200, level);
    for (int i = 0; i < 200; ++i)
        EXPECT_NEAR(block[(size_t)i] * 1024, std::pow(10, (i < 77 ? -12 : (i < 150 ? 3 : -4.5)) / 20), 1e-14) << i;
}

TEST(BlockProcessing, NaNLevelReadBeforeTheGuardMendsItKeepsTheLastUsableLevel)
{
    auto processor = makePrepared(1, 48000.0);
    auto reference = makePrepared(1, 48000.0);
    for (auto* each : {processor.get(), reference.get()})
    {
        each->getParameters()[1]->setValue(0.8f);
        process(*each, {sine(0.01, 440, 48000, 64)});
    }
    // Straight into the parameter, without its listeners: the moment before the guard hears of it.
    processor->getParameters()[1]->setValue(std::nanf(""));
    const Channels input{sine(0.01, 440, 48000, 512)};
    EXPECT_EQ(process(*processor, input), process(*reference, input));
}

TEST(BlockProcessing, OverloadOnEitherSideIsLimitedOnBothAlike)
{
    for (size_t loud : {0u, 1u})
    {
        auto processor = makePrepared(2, 48000.0);
        processor->levelParameter->setValueNotifyingHost(0.8f);
        Channels input{sine(0.001, 1000.0, 48000.0, 48000), sine(0.001, 700.0, 48000.0, 48000)};
        input[loud] = sine(4.0, 1000.0, 48000.0, 48000); // boosted to 44
        const auto output = process(*processor, input);
        for (size_t i = 24000; i < 48000; ++i)
            ASSERT_LT(std::abs(output[loud][i]), 1.0) << loud << ", " << i;
        for (size_t i = 40000; i < 48000; i += 97)
            EXPECT_NEAR(output[0][i] / input[0][i], output[1][i] / input[1][i], 1e-9) << loud << ", " << i;
    }
}

TEST(BlockProcessing, MeterStepsFromEachChannelsBlockPeak)
{
    for (double silent : {0.0, 1e-310, (double)INFINITY, (double)NAN})
        EXPECT_EQ(meterStepForPeak(silent), 1.0) << silent;
    EXPECT_EQ(meterStepForPeak(1000.0), 11.0);
    const double bounds[] = {-48, -36, -24, -18, -12, -9, -6, -3, 0, 2.9};
    for (int k = 0; k < 10; ++k)
    {
        // The smallest peak whose level 20 log10 (peak) reaches the bound starts the next step.
        double p = std::pow(10.0, bounds[k] / 20.0);
        while (20.0 * std::log10(p) >= bounds[k])
            p = std::nextafter(p, 0.0);
        EXPECT_EQ(meterStepForPeak(p), k + 1.0) << bounds[k];
        EXPECT_EQ(meterStepForPeak(std::nextafter(p, 2.0)), k + 2.0) << bounds[k];
    }

    // An impulse of -20 dB leaves at -24.5 dB: step 3, shown on both sides in mono; a silent side shows 1.
    std::vector<double> impulse(512, 0.0), silence(512, 0.0);
    impulse[100] = 0.1;
    for (int channels : {1, 2})
    {
        auto processor = makePrepared(channels, 48000.0);
        process(*processor, channels == 1 ? Channels{impulse} : Channels{impulse, silence});
        EXPECT_EQ(processor->meterStepLeft.load(), 3.0);
        EXPECT_EQ(processor->meterStepRight.load(), channels == 1 ? 3.0 : 1.0);
    }
}

TEST(BlockProcessing, BadSamplesBecomeSilenceAndOddProcessorsPassAudioUnchanged)
{
    auto processor = makePrepared(2, 48000.0);
    const auto output = process(*processor, {{NAN, INFINITY, -INFINITY, 1e-310}, {1e-310, NAN, 0.25, INFINITY}});
    EXPECT_EQ(output, (Channels{{0.0, 0.0, 0.0, 0.0}, {0.0, 0.0, output[1][2], 0.0}}));
    EXPECT_NE(output[1][2], 0.0);

    KelvaneAudioProcessor unprepared;
    unprepared.setPlayConfigDetails(2, 2, 48000.0, 64);
    EXPECT_TRUE(passesUnchanged<float>(unprepared));
    EXPECT_TRUE(passesUnchanged<double>(unprepared));
    for (double rate : {0.0, -44100.0, (double)NAN})
        EXPECT_TRUE(passesUnchanged<float>(*makePrepared(2, rate, 64))) << rate;
}
