// The two limiter stages: static curve, linked reduction, attack and release smoothing, coefficients.
#include "EngineTestSupport.h"

using namespace engine_test;

namespace
{
// A processor whose first sample reaches the first limiter unboosted (the ramp starts at 0).
std::unique_ptr<KelvaneAudioProcessor> processFirstSample (int channels, std::vector<double> samples,
                                                           std::vector<std::vector<double>>* out = nullptr)
{
    auto processor = makePrepared (channels, 48000.0, 1);
    std::vector<std::vector<double>> block;
    for (double s : samples)
        block.push_back ({ s });
    processOnce (*processor, block);
    if (out != nullptr)
        *out = block;
    return processor;
}
} // namespace

TEST (LimiterCoefficients, FirstSampleInstallsTheRowOfTheSampleRate)
{
    auto processor = processFirstSample (1, { 0.0 });
    const auto& s = *processor->engineState;
    EXPECT_EQ (s.attackCoefficient[0], 0.9658736772410497);
    EXPECT_EQ (s.releaseCoefficient[0], 0.9999739586724146);
    EXPECT_EQ (s.attackCoefficient[1], 8.95773671769673e-10);
    EXPECT_EQ (s.releaseCoefficient[1], 0.9999583342013768);
    EXPECT_EQ (s.cachedSampleRate[0], 48000.0);
    EXPECT_EQ (s.cachedSampleRate[1], 48000.0);
    EXPECT_EQ (s.cachedReleaseMs[0], 800.0);
    EXPECT_EQ (s.cachedReleaseMs[1], 500.0);

    auto at44 = makePrepared (1, 44100.0, 1);
    std::vector<std::vector<double>> one { { 0.0 } };
    processOnce (*at44, one);
    const auto& t = *at44->engineState;
    EXPECT_EQ (t.attackCoefficient[0], 0.9629123442646866);
    EXPECT_EQ (t.releaseCoefficient[0], 0.9999716557305046);
    EXPECT_EQ (t.attackCoefficient[1], 1.4192292867942123e-10);
    EXPECT_EQ (t.releaseCoefficient[1], 0.9999546495544397);
}

TEST (LimiterCoefficients, ARateChangeWithoutPreparationIsCaughtAtTheNextBlock)
{
    auto processor = makePrepared (1, 48000.0, 1);
    std::vector<std::vector<double>> one { { 0.0 } };
    processOnce (*processor, one);
    processor->setRateAndBufferSizeDetails (44100.0, 1);
    processOnce (*processor, one);
    EXPECT_EQ (processor->engineState->attackCoefficient[0], 0.9629123442646866);
    EXPECT_EQ (processor->engineState->releaseCoefficient[1], 0.9999546495544397);
    EXPECT_EQ (processor->engineState->cachedSampleRate[1], 44100.0);
}

TEST (LimiterCoefficients, EmptyBlocksInstallNothing)
{
    auto processor = makePrepared (2, 48000.0, 1);
    juce::AudioBuffer<double> empty (2, 0);
    juce::MidiBuffer midi;
    processor->processBlock (empty, midi);
    EXPECT_EQ (processor->engineState->cachedSampleRate[0], 0.0);
    EXPECT_EQ (processor->engineState->attackCoefficient[0], 0.0);
}

TEST (LimiterStage, FullScaleSampleIsNotReducedByStageOne)
{
    std::vector<std::vector<double>> out;
    auto processor = processFirstSample (1, { 1.0 }, &out);
    EXPECT_EQ (processor->engineState->peakReduction[0][0], 0.0);
    EXPECT_EQ (processor->engineState->smoothedReduction[0][0], 0.0);
}

TEST (LimiterStage, TwiceFullScaleAsksForTheStaticReduction)
{
    auto processor = processFirstSample (1, { 2.0 });
    const auto& s = *processor->engineState;
    // x = 6.020599913279624 dB, y = 0.06020599913279624 dB; the release filter passes a larger reduction at
    // once, the attack filter moves by 1 - aA toward it.
    EXPECT_EQ (s.peakReduction[0][0], 5.960393914146828);
    EXPECT_EQ (s.smoothedReduction[0][0], (1.0 - 0.9658736772410497) * 5.960393914146828);
}

TEST (LimiterStage, SteadyLoudStreamSettlesToTheStaticGain)
{
    auto processor = makePrepared (1, 48000.0, 480);
    // A window sum far below the threshold keeps the ramp at 0, so the limiters see the raw input.
    processor->engineState->ringSums[0] = -1.0e9;
    std::vector<std::vector<double>> input { std::vector<double> (4800, 2.0) };
    const auto output = processDouble (*processor, input, 480);
    ASSERT_EQ (processor->engineState->boostRamp, 0.0);
    const double q = processor->engineState->smoothedReduction[0][0];
    EXPECT_NEAR (q, 5.960393914146828, 1e-9);
    EXPECT_NEAR (std::pow (10.0, -q / 20.0), 0.50348, 0.00001);
    // The second stage then catches what is left above -0.01 dB.
    EXPECT_GT (processor->engineState->smoothedReduction[1][0], 0.0);
    const double levelGain = output[0].back() / 2.0 / std::pow (10.0, -q / 20.0)
                             / std::pow (10.0, -processor->engineState->smoothedReduction[1][0] / 20.0);
    EXPECT_NEAR (levelGain, std::pow (10.0, -4.5 / 20.0), 1e-9);
}

TEST (LimiterStage, JustBelowThresholdGainIsSlightlyAboveOne)
{
    // x = -0.004 dB: y = -0.00004 dB, r = -0.00396 dB.
    const double input = std::pow (10.0, -0.004 / 20.0);
    auto processor = processFirstSample (1, { input });
    const auto& s = *processor->engineState;
    const double aR = 0.9999739586724146, aA = 0.9658736772410497;
    const double p = (1.0 - aR) * -0.00396;
    EXPECT_NEAR (s.peakReduction[0][0], p, 1e-15);
    EXPECT_NEAR (s.smoothedReduction[0][0], (1.0 - aA) * p, 1e-15);
    EXPECT_LT (s.smoothedReduction[0][0], 0.0);
}

TEST (LimiterStage, BelowTheKneesLowerEdgeNothingHappens)
{
    // x = -0.006 dB lies below T - W/2 = -0.005 dB: y = x, no reduction of either sign.
    const double input = std::pow (10.0, -0.006 / 20.0);
    auto processor = processFirstSample (1, { input });
    EXPECT_EQ (processor->engineState->peakReduction[0][0], 0.0);
    EXPECT_EQ (processor->engineState->smoothedReduction[0][0], 0.0);
}

TEST (LimiterStage, WhatStageOneLeavesBelowTheSmallestNormalBecomesZero)
{
    // After a loud sample stage one still reduces; a sample at the smallest normal double then leaves stage
    // one as a subnormal, which stage two takes as 0.
    auto processor = makePrepared (1, 48000.0, 2);
    std::vector<std::vector<double>> block { { 4.0, 2.2250738585072014e-308 } };
    processOnce (*processor, block);
    ASSERT_GT (processor->engineState->smoothedReduction[0][0], 0.0);
    EXPECT_EQ (block[0][1], 0.0);
    EXPECT_FALSE (std::signbit (block[0][1]));
}

TEST (LimiterStage, StageTwoActsWithinTheSameSample)
{
    // Stage one passes 1.0 unchanged; stage two at x = 0 dB asks for r = 0.0099 dB.
    auto processor = processFirstSample (1, { 1.0 });
    const auto& s = *processor->engineState;
    EXPECT_EQ (s.peakReduction[0][0], 0.0);
    EXPECT_EQ (s.peakReduction[1][0], 0.0099);
    EXPECT_NEAR (s.smoothedReduction[1][0], 0.0099, 1e-9 * 0.0099);
    EXPECT_LT (s.smoothedReduction[1][0], 0.0099);
}

TEST (LimiterStage, ZeroCountsAsMinus160DecibelsAndIsNotReduced)
{
    std::vector<std::vector<double>> out;
    auto processor = processFirstSample (2, { 0.0, 0.0 }, &out);
    EXPECT_EQ (out[0][0], 0.0);
    EXPECT_EQ (out[1][0], 0.0);
    for (int st = 0; st < 2; ++st)
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ (processor->engineState->peakReduction[st][c], 0.0);
}

TEST (LimiterStage, StereoPeakOnOneSideReducesBothAlike)
{
    std::vector<std::vector<double>> out;
    auto processor = processFirstSample (2, { 4.0, 0.25 }, &out);
    const auto& s = *processor->engineState;
    EXPECT_EQ (s.peakReduction[0][0], s.peakReduction[0][1]);
    EXPECT_EQ (s.smoothedReduction[1][0], s.smoothedReduction[1][1]);
    EXPECT_GT (s.peakReduction[0][1], 0.0);
    EXPECT_DOUBLE_EQ (out[0][0] / 4.0, out[1][0] / 0.25);
}

TEST (LimiterStage, ReductionDecaysByTheReleaseCoefficientPerSample)
{
    auto processor = processFirstSample (1, { 2.0 });
    const double start = processor->engineState->peakReduction[0][0];
    const double aR = processor->engineState->releaseCoefficient[0];
    std::vector<std::vector<double>> zeros { std::vector<double> (100, 0.0) };
    processOnce (*processor, zeros);
    double expected = start;
    for (int i = 0; i < 100; ++i)
        expected = aR * expected;
    EXPECT_NEAR (processor->engineState->peakReduction[0][0], expected, 1e-12);
    EXPECT_LT (processor->engineState->peakReduction[0][0], start);
}

TEST (LimiterStage, MonoKeepsTheRightStatesAtZero)
{
    auto processor = makePrepared (1, 48000.0, 480);
    std::vector<std::vector<double>> input { sine (4.0, 1000.0, 48000.0, 4800) };
    processDouble (*processor, input, 480);
    const auto& s = *processor->engineState;
    EXPECT_GT (s.peakReduction[0][0], 0.0);
    for (int st = 0; st < 2; ++st)
    {
        EXPECT_EQ (s.peakReduction[st][1], 0.0);
        EXPECT_EQ (s.smoothedReduction[st][1], 0.0);
    }
}
