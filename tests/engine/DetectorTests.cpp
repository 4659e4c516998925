// Detector and boost ramp: band-limited 10 ms level, threshold, ramp times, boost factor.
#include "EngineTestSupport.h"

#include <limits>

using namespace engine_test;

namespace
{
// Feeds silence one sample per block and returns the number of samples until the ramp reaches the target.
int samplesUntilRamp (KelvaneAudioProcessor& processor, double target, int limit)
{
    std::vector<std::vector<double>> one { { 0.0 } };
    for (int n = 1; n <= limit; ++n)
    {
        one[0][0] = 0.0;
        processOnce (processor, one);
        if (processor.engineState->boostRamp == target)
            return n;
    }
    return -1;
}

// Mean absolute level of the left detector window.
double leftMean (const KelvaneAudioProcessor& processor)
{
    return processor.engineState->ringSums[0] / processor.engineState->windowLength;
}

double settledMean (double amplitude, bool vocal)
{
    auto processor = makePrepared (1, 48000.0, 480);
    processor->vocalParameter->setValueNotifyingHost (vocal ? 1.0f : 0.0f);
    std::vector<std::vector<double>> input { sine (amplitude, 1000.0, 48000.0, 48000) };
    processDouble (*processor, input, 480);
    return leftMean (*processor);
}
} // namespace

TEST (BoostRamp, RisesFromZeroToOneIn441SamplesAt44100)
{
    auto processor = makePrepared (1, 44100.0, 1);
    // A window that always reads as signal: the running sum is never recomputed from the ring.
    processor->engineState->ringSums[0] = 1000.0;
    EXPECT_EQ (samplesUntilRamp (*processor, 1.0, 1000), 441);
}

TEST (BoostRamp, RisesIn481SamplesAt48000BecauseOf480ths)
{
    auto processor = makePrepared (1, 48000.0, 1);
    processor->engineState->ringSums[0] = 1000.0;
    EXPECT_EQ (samplesUntilRamp (*processor, 1.0, 1000), 481);
}

TEST (BoostRamp, RisesIn8MillisecondsInVocalMode)
{
    auto processor = makePrepared (1, 48000.0, 1);
    processor->vocalParameter->setValueNotifyingHost (1.0f);
    processor->engineState->ringSums[0] = 1000.0;
    const int n = samplesUntilRamp (*processor, 1.0, 1000);
    EXPECT_GE (n, 384);
    EXPECT_LE (n, 385);
}

TEST (BoostRamp, FallsFromOneToZeroIn16801SamplesNormalAnd24000Vocal)
{
    auto normal = makePrepared (1, 48000.0, 1);
    normal->engineState->boostRamp = 1.0;
    EXPECT_EQ (samplesUntilRamp (*normal, 0.0, 30000), 16801);

    auto vocal = makePrepared (1, 48000.0, 1);
    vocal->vocalParameter->setValueNotifyingHost (1.0f);
    vocal->engineState->boostRamp = 1.0;
    EXPECT_EQ (samplesUntilRamp (*vocal, 0.0, 30000), 24000);
}

TEST (BoostRamp, LevelExactlyAtTheThresholdCountsAsSignal)
{
    auto processor = makePrepared (1, 48000.0, 1);
    const double threshold = std::exp (-5.1808164592366035);
    processor->engineState->ringSums[0] = threshold * 480.0;
    ASSERT_EQ (processor->engineState->ringSums[0] / 480.0, threshold);
    std::vector<std::vector<double>> one { { 0.0 } };
    processOnce (*processor, one);
    EXPECT_GT (processor->engineState->boostRamp, 0.0);

    // One step below, the ramp stays down.
    auto below = makePrepared (1, 48000.0, 1);
    below->engineState->ringSums[0] = std::nextafter (threshold * 480.0, 0.0);
    processOnce (*below, one);
    EXPECT_EQ (below->engineState->boostRamp, 0.0);
}

TEST (Boost, FullRampGivesElevenNormalAndOnePlusRootTenVocal)
{
    // With the limiters idle the output is input x boost x level gain; the level gain is measured with the
    // ramp at 0 and the input a power of two, so both products are exact apart from the final rounding.
    for (bool vocal : { false, true })
    {
        const double expectedBoost = vocal ? 4.16227766016838 : 11.000000000000002;
        const double input = 1.0 / 1024.0;

        auto idle = makePrepared (1, 48000.0, 1);
        idle->vocalParameter->setValueNotifyingHost (vocal ? 1.0f : 0.0f);
        std::vector<std::vector<double>> sample { { input } };
        processOnce (*idle, sample);
        const double levelGain = sample[0][0] * 1024.0;

        auto boosted = makePrepared (1, 48000.0, 1);
        boosted->vocalParameter->setValueNotifyingHost (vocal ? 1.0f : 0.0f);
        boosted->engineState->boostRamp = 1.0;
        boosted->engineState->ringSums[0] = 1000.0;
        sample[0][0] = input;
        processOnce (*boosted, sample);
        EXPECT_EQ (sample[0][0], (expectedBoost * input) * levelGain) << vocal;
        EXPECT_NEAR (sample[0][0] / levelGain / input, expectedBoost, 1e-13);
    }
}

TEST (Detector, NormalModeSineAboveAndBelowTheThreshold)
{
    const double threshold = std::exp (-5.1808164592366035);
    const double loud = settledMean (0.01, false);
    EXPECT_NEAR (loud, 0.00636, 0.00003);
    EXPECT_GT (loud, threshold);
    const double quiet = settledMean (0.008, false);
    EXPECT_NEAR (quiet, 0.00509, 0.00003);
    EXPECT_LT (quiet, threshold);
}

TEST (Detector, VocalModeSineAboveAndBelowTheThreshold)
{
    const double threshold = std::exp (-6.332109005733626);
    const double loud = settledMean (0.0032, true);
    EXPECT_NEAR (loud, 0.00180, 0.00001);
    EXPECT_GT (loud, threshold);
    const double quiet = settledMean (0.003, true);
    EXPECT_NEAR (quiet, 0.00169, 0.00001);
    EXPECT_LT (quiet, threshold);
}

TEST (Detector, BandLimitsTheDetectorCopy)
{
    // Far outside the band the same amplitude reads much lower than at 1 kHz.
    auto levelAt = [] (double frequency) {
        auto processor = makePrepared (1, 48000.0, 480);
        std::vector<std::vector<double>> input { sine (0.01, frequency, 48000.0, 48000) };
        processDouble (*processor, input, 480);
        return leftMean (*processor);
    };
    const double inBand = levelAt (1000.0);
    EXPECT_LT (levelAt (50.0), inBand * 0.1);
    EXPECT_LT (levelAt (20000.0), inBand * 0.1);
}

TEST (Detector, ConstantInputIsRemovedAndTheRampFalls)
{
    auto processor = makePrepared (1, 48000.0, 480);
    std::vector<std::vector<double>> input { std::vector<double> (96000, 0.5) };
    processDouble (*processor, input, 480);
    EXPECT_LT (leftMean (*processor), 1e-6);
    EXPECT_EQ (processor->engineState->boostRamp, 0.0);
}

TEST (Detector, MeanGrowsOverTheFirstTenMilliseconds)
{
    auto processor = makePrepared (1, 48000.0, 48);
    const auto tone = sine (0.1, 1000.0, 48000.0, 4800);
    std::vector<double> means;
    for (int block = 0; block < 100; ++block)
    {
        std::vector<std::vector<double>> input { std::vector<double> (tone.begin() + block * 48,
                                                                      tone.begin() + (block + 1) * 48) };
        processOnce (*processor, input);
        means.push_back (leftMean (*processor));
    }
    // Still growing within the first window, steady (periods of 48 samples) well after it.
    EXPECT_LT (means[4], means[9] * 0.7);
    EXPECT_NEAR (means[60], means[99], means[99] * 0.01);
}

TEST (Detector, EachMeanIsTheAverageOfItsOwnLastWindow)
{
    auto processor = makePrepared (2, 48000.0, 480);
    std::vector<std::vector<double>> input { sine (0.02, 1000.0, 48000.0, 4800),
                                             sine (0.005, 3000.0, 48000.0, 4800) };
    processDouble (*processor, input, 480);
    const auto& state = *processor->engineState;
    for (int channel = 0; channel < 2; ++channel)
    {
        double sum = 0.0;
        for (size_t i = 0; i < (size_t) state.windowLength; ++i)
            sum += std::abs (state.rings[channel][i]);
        EXPECT_NEAR (state.ringSums[channel], sum, 1e-12);
    }
    // 4800 samples after preparation the last write landed in slot 4800 mod 480.
    EXPECT_EQ (state.ringPosition, 0);
}

TEST (Detector, StereoLevelFollowsTheLouderChannelAndBoostsBothAlike)
{
    auto processor = makePrepared (2, 48000.0, 480);
    std::vector<std::vector<double>> input { sine (0.0005, 1000.0, 48000.0, 48000),
                                             sine (0.01, 1000.0, 48000.0, 48000) };
    const auto output = processDouble (*processor, input, 480);
    EXPECT_EQ (processor->engineState->boostRamp, 1.0);
    const size_t last = 47952 + 12; // a sine peak
    EXPECT_NEAR (output[0][last] / input[0][last], output[1][last] / input[1][last], 1e-9);
    EXPECT_GT (output[0][last] / input[0][last], 5.0);
}

TEST (Detector, MonoBlocksLeaveTheRightChainAlone)
{
    auto processor = makePrepared (1, 48000.0, 480);
    std::vector<std::vector<double>> input { sine (0.1, 1000.0, 48000.0, 960) };
    processDouble (*processor, input, 480);
    const auto& state = *processor->engineState;
    EXPECT_NE (state.b0[0], 0.0);
    for (int k = 4; k < 8; ++k)
    {
        EXPECT_EQ (state.b0[k], 0.0);
        EXPECT_EQ (state.x1[k], 0.0);
        EXPECT_EQ (state.y1[k], 0.0);
    }
    EXPECT_EQ (state.ringSums[1], 0.0);
    for (size_t i = 0; i < (size_t) state.windowLength; ++i)
        EXPECT_EQ (state.rings[1][i], 0.0);
}

TEST (Detector, StereoBlocksUseTheSameSectionsOnBothChains)
{
    auto processor = makePrepared (2, 48000.0, 480);
    std::vector<std::vector<double>> input { sine (0.1, 1000.0, 48000.0, 480), sine (0.1, 1000.0, 48000.0, 480) };
    processDouble (*processor, input, 480);
    const auto& state = *processor->engineState;
    for (int k = 0; k < 4; ++k)
    {
        EXPECT_EQ (state.b0[k], state.b0[k + 4]);
        EXPECT_EQ (state.a2[k], state.a2[k + 4]);
    }
    EXPECT_EQ (state.b0[0], state.b0[1]);
    EXPECT_EQ (state.b0[2], state.b0[3]);
    EXPECT_NE (state.b0[0], state.b0[2]);
    // Cookbook low-pass: b1 = 2 b0; high-pass: b1 = -2 b0.
    EXPECT_EQ (state.b1[0], 2.0 * state.b0[0]);
    EXPECT_EQ (state.b1[2], -2.0 * state.b0[2]);
}

TEST (Detector, BadInputSamplesContributeNothing)
{
    auto processor = makePrepared (2, 48000.0, 4);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<std::vector<double>> block { { nan, inf, -inf, 1e-310 }, { 1e-310, nan, 0.25, inf } };
    processOnce (*processor, block);
    EXPECT_EQ (block[0], std::vector<double> (4, 0.0));
    EXPECT_EQ (block[1][0], 0.0);
    EXPECT_EQ (block[1][1], 0.0);
    EXPECT_NE (block[1][2], 0.0);
    EXPECT_EQ (block[1][3], 0.0);
    for (double v : snapshot (*processor->engineState))
        EXPECT_TRUE (std::isfinite (v));
}

TEST (Detector, ExtremeSamplesLeaveNoTraceOnceTheyHaveLeftTheWindow)
{
    // Samples far beyond full scale, up to the largest float (the host's entry) and beyond, drive the window
    // sums to infinity or far up; once they have left the window and the filters have rung out, the level
    // must read silence again and the ramp fall back to 0.
    const double extremes[] = { 1.0e300, 1.0e20, (double) std::numeric_limits<float>::max() };
    for (double extreme : extremes)
    {
        for (int channels : { 1, 2 })
        {
            SCOPED_TRACE (testing::Message() << extreme << ", " << channels << " channels");
            auto processor = makePrepared (channels, 48000.0, 480);
            std::vector<std::vector<double>> burst ((size_t) channels, std::vector<double> (96));
            for (int i = 0; i < 96; ++i)
                for (auto& channel : burst)
                    channel[(size_t) i] = (i % 7 < 3) ? extreme : -0.5 * extreme;
            processOnce (*processor, burst);

            std::vector<std::vector<double>> silence ((size_t) channels, std::vector<double> (48000 * 3, 0.0));
            processDouble (*processor, silence, 480);
            const auto& s = *processor->engineState;
            for (int c = 0; c < channels; ++c)
            {
                EXPECT_TRUE (std::isfinite (s.ringSums[c]));
                EXPECT_LT (std::abs (s.ringSums[c]), 1e-6);
            }
            EXPECT_EQ (s.boostRamp, 0.0);
            for (double v : snapshot (s))
                ASSERT_TRUE (std::isfinite (v));
        }
    }
}

TEST (Detector, VocalSwitchTakesEffectAtTheNextBlockAndResetsNothing)
{
    auto processor = makePrepared (2, 48000.0, 480);
    std::vector<std::vector<double>> input { sine (0.1, 1000.0, 48000.0, 4800), sine (0.1, 1000.0, 48000.0, 4800) };
    processDouble (*processor, input, 480);
    const auto normalCoefficients = coefficientsOf (*processor->engineState);
    const auto before = snapshot (*processor->engineState);

    processor->vocalParameter->setValueNotifyingHost (1.0f);
    juce::AudioBuffer<double> noSamples (2, 0);
    juce::MidiBuffer midi;
    processor->processBlock (noSamples, midi);

    EXPECT_EQ (snapshot (*processor->engineState), before);
    EXPECT_NE (coefficientsOf (*processor->engineState), normalCoefficients);

    // A fresh vocal-mode instance designs the same filters.
    auto vocal = makePrepared (2, 48000.0, 480);
    vocal->vocalParameter->setValueNotifyingHost (1.0f);
    vocal->processBlock (noSamples, midi);
    EXPECT_EQ (coefficientsOf (*processor->engineState), coefficientsOf (*vocal->engineState));
}
