// Preparation: window length from the sample rate, fresh working state, ring ownership, sanitizeSample.
#include "EngineTestSupport.h"

#include <limits>

using namespace engine_test;

TEST (WindowLength, TenMillisecondsRoundedDown)
{
    const std::pair<double, int> table[] = { { 8000, 80 },     { 11025, 110 },  { 22050, 220 },   { 32000, 320 },
                                             { 44100, 441 },   { 48000, 480 },  { 88200, 882 },   { 96000, 960 },
                                             { 176400, 1764 }, { 192000, 1920 }, { 44100.5, 441 }, { 22050.9, 220 } };
    for (const auto& [rate, length] : table)
    {
        KelvaneAudioProcessor processor;
        processor.prepareToPlay (rate, 512);
        EXPECT_EQ (processor.engineState->windowLength, length) << rate;
    }
}

TEST (WindowLength, RatesBelowOneHundredHertzKeepAOneSampleWindow)
{
    for (double rate : { 99.99, 50.0, 1.0, 0.0, -48000.0, std::numeric_limits<double>::quiet_NaN(),
                         -std::numeric_limits<double>::infinity() })
        EXPECT_EQ (windowLengthForSampleRate (rate), 1) << rate;
    EXPECT_EQ (windowLengthForSampleRate (100.0), 1);
    EXPECT_EQ (windowLengthForSampleRate (200.0), 2);
    // Huge rates are capped instead of overflowing the integer conversion.
    EXPECT_EQ (windowLengthForSampleRate (1.0e12), 2147483);
    EXPECT_EQ (windowLengthForSampleRate (std::numeric_limits<double>::infinity()), 2147483);
}

TEST (WindowLength, TinySampleRateStillProcesses)
{
    auto processor = makePrepared (2, 50.0, 64);
    std::vector<std::vector<double>> block { sine (0.5, 3.0, 50.0, 64), sine (0.5, 5.0, 50.0, 64) };
    processOnce (*processor, block);
    for (const auto& channel : block)
        for (double v : channel)
            EXPECT_TRUE (std::isfinite (v));
    EXPECT_GE (processor->meterStepLeft.load(), 1.0);
    EXPECT_EQ (processor->engineState->ringPosition, 0); // a one-slot ring always writes slot 0
}

TEST (Preparation, AllocatesZeroedRingsOfTheWindowLength)
{
    KelvaneAudioProcessor processor;
    processor.prepareToPlay (44100.0, 512);
    const double* firstLeft = processor.engineState->rings[0].get();
    ASSERT_NE (firstLeft, nullptr);
    processor.engineState->rings[0][3] = 0.25;

    processor.prepareToPlay (96000.0, 512);
    auto& state = *processor.engineState;
    ASSERT_EQ (state.windowLength, 960);
    ASSERT_NE (state.rings[0], nullptr);
    ASSERT_NE (state.rings[1], nullptr);
    for (size_t i = 0; i < 960; ++i)
    {
        EXPECT_EQ (state.rings[0][i], 0.0);
        EXPECT_EQ (state.rings[1][i], 0.0);
    }
}

TEST (Preparation, ResetsEveryPieceOfWorkingState)
{
    auto processor = makePrepared (2, 48000.0, 512);
    // Drive the chain hard so that every part of the state moves.
    std::vector<std::vector<double>> input { sine (3.0, 1000.0, 48000.0, 24000), sine (2.0, 700.0, 48000.0, 24000) };
    processDouble (*processor, input, 512);
    auto& state = *processor->engineState;
    ASSERT_EQ (state.boostRamp, 1.0);
    ASSERT_GT (state.peakReduction[0][0], 0.0);

    processor->prepareToPlay (48000.0, 512);
    const auto fresh = snapshot (*makePrepared (2, 48000.0, 512)->engineState);
    EXPECT_EQ (snapshot (state), fresh);
    for (double c : coefficientsOf (state))
        EXPECT_EQ (c, 0.0);
}

TEST (Preparation, ReleaseResourcesKeepsTheStateAsItWas)
{
    auto processor = makePrepared (2, 48000.0, 512);
    std::vector<std::vector<double>> input { sine (0.1, 1000.0, 48000.0, 4800), sine (0.1, 1000.0, 48000.0, 4800) };
    processDouble (*processor, input, 512);
    const auto before = snapshot (*processor->engineState);
    processor->releaseResources();
    EXPECT_EQ (snapshot (*processor->engineState), before);

    // A block after releaseResources continues from that state exactly like one without it.
    auto twin = makePrepared (2, 48000.0, 512);
    processDouble (*twin, input, 512);
    auto next = input;
    EXPECT_EQ (processDouble (*processor, next, 512), processDouble (*twin, next, 512));
}

TEST (SanitizeSample, KeepsNormalNumbersAndZeroesEverythingElse)
{
    constexpr double smallestNormal = 2.2250738585072014e-308;
    EXPECT_EQ (sanitizeSample (smallestNormal), smallestNormal);
    EXPECT_EQ (sanitizeSample (-smallestNormal), -smallestNormal);
    EXPECT_EQ (sanitizeSample (-1.0), -1.0);
    EXPECT_EQ (sanitizeSample (1.0e300), 1.0e300);
    EXPECT_EQ (sanitizeSample (std::numeric_limits<double>::max()), std::numeric_limits<double>::max());

    for (double bad : { -0.0, 0.0, 1e-310, -1e-310, std::numeric_limits<double>::denorm_min(),
                        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::quiet_NaN() })
    {
        const double result = sanitizeSample (bad);
        EXPECT_EQ (result, 0.0) << bad;
        EXPECT_FALSE (std::signbit (result)) << bad;
    }
}
