// Detector and boost ramp: band-limited 10 ms level, threshold, ramp times, boost factor.
#include "EngineTestSupport.h"

#include <complex>
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

TEST (DetectorFilters, CookbookSectionsWithQHeldInSinglePrecision)
{
    // b0, b1, b2, a1, a2 of the low-pass and high-pass sets, normalised to a0 = 1, with 2Q = 1.4142136573791504.
    struct Expected
    {
        double rate;
        bool vocal;
        double lowPass[5];
        double highPass[5];
    };
    const Expected table[] = {
        { 48000.0, false,
          { 0.1866943380722604, 0.3733886761445208, 0.1866943380722604, -0.4629380375799314, 0.20971538986897298 },
          { 0.9816582696017537, -1.9633165392035075, 0.9816582696017537, -1.9629800917859137, 0.9636529866211012 } },
        { 48000.0, true,
          { 0.014401440496180954, 0.028802880992361907, 0.014401440496180954, -1.6329931788266483,
            0.6905989408113722 },
          { 0.9547740334967252, -1.9095480669934504, 0.9547740334967252, -1.9075016317104316, 0.9115945022764691 } },
        { 44100.0, false,
          { 0.21320720272440138, 0.42641440544880277, 0.21320720272440138, -0.33915119414810063,
            0.19198000504570598 },
          { 0.9800524896140674, -1.9601049792281349, 0.9800524896140674, -1.959707036415517, 0.9605029220407528 } },
        { 44100.0, true,
          { 0.016819150294412187, 0.033638300588824374, 0.016819150294412187, -1.601092412018811,
            0.6683690131964598 },
          { 0.9508741183032943, -1.9017482366065885, 0.9508741183032943, -1.899333426218295, 0.9041630469948826 } },
    };

    for (const auto& expected : table)
    {
        auto processor = makePrepared (2, expected.rate, 64);
        processor->vocalParameter->setValueNotifyingHost (expected.vocal ? 1.0f : 0.0f);
        juce::AudioBuffer<double> noSamples (2, 0);
        juce::MidiBuffer midi;
        processor->processBlock (noSamples, midi);

        const auto& s = *processor->engineState;
        for (int section = 0; section < 8; ++section)
        {
            const double* set = (section % 4) < 2 ? expected.lowPass : expected.highPass;
            SCOPED_TRACE (testing::Message() << expected.rate << " Hz, vocal " << expected.vocal << ", section "
                                             << section);
            EXPECT_EQ (s.b0[section], set[0]);
            EXPECT_EQ (s.b1[section], set[1]);
            EXPECT_EQ (s.b2[section], set[2]);
            EXPECT_EQ (s.a1[section], set[3]);
            EXPECT_EQ (s.a2[section], set[4]);
        }
    }
}

TEST (DetectorFilters, LowPassHalvesThePowerAtItsCorner)
{
    // One Butterworth-like section (Q = 0.7071068) is 3 dB down at its corner; two in series 6 dB.
    auto processor = makePrepared (1, 48000.0, 64);
    juce::AudioBuffer<double> noSamples (1, 0);
    juce::MidiBuffer midi;
    processor->processBlock (noSamples, midi);
    const auto& s = *processor->engineState;
    const double w = 2.0 * pi * 9000.0 / 48000.0;
    const std::complex<double> z1 = std::polar (1.0, -w), z2 = std::polar (1.0, -2.0 * w);
    const auto response = (s.b0[0] + s.b1[0] * z1 + s.b2[0] * z2) / (1.0 + s.a1[0] * z1 + s.a2[0] * z2);
    EXPECT_NEAR (std::norm (response), 0.5, 1e-6);
}

TEST (DetectorWindow, FirstWriteAfterPreparationLandsInSlotOne)
{
    auto processor = makePrepared (2, 48000.0, 1);
    std::vector<std::vector<double>> one { { 0.5 }, { -0.25 } };
    processOnce (*processor, one);
    const auto& s = *processor->engineState;
    EXPECT_EQ (s.ringPosition, 1);
    EXPECT_EQ (s.rings[0][0], 0.0);
    EXPECT_EQ (s.rings[1][0], 0.0);
    EXPECT_NE (s.rings[0][1], 0.0);
    EXPECT_NE (s.rings[1][1], 0.0);
    EXPECT_EQ (s.ringSums[0], std::abs (s.rings[0][1]));
    EXPECT_EQ (s.ringSums[1], std::abs (s.rings[1][1]));
    for (size_t i = 2; i < 480; ++i)
        ASSERT_EQ (s.rings[0][i], 0.0) << i;

    // The slot written last wraps from 479 to 0.
    std::vector<std::vector<double>> rest { std::vector<double> (478, 0.1), std::vector<double> (478, 0.1) };
    processOnce (*processor, rest);
    EXPECT_EQ (processor->engineState->ringPosition, 479);
    processOnce (*processor, one);
    EXPECT_EQ (processor->engineState->ringPosition, 0);
    EXPECT_NE (processor->engineState->rings[0][0], 0.0);
}

TEST (Detector, ExtremeSamplesLeaveNoTraceOnceTheyHaveLeftTheWindow)
{
    // Samples far beyond full scale, up to the largest float (the host's entry) and the largest double, drive
    // the window sums to infinity or far up and make the filter sections overflow; once they have left the
    // window and the filters have rung out, the level must read silence again and the ramp fall back to 0.
    const double extremes[] = { std::numeric_limits<double>::max(), 1.0e300, 1.0e20,
                                (double) std::numeric_limits<float>::max() };
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

TEST (DetectorFilters, RingingOutPassesNoSubnormalIntoAState)
{
    // After a tone the sections ring out in silence; values below the smallest normal double become 0 on
    // the way, so no filter state, ring slot or sum ever holds a subnormal.
    auto processor = makePrepared (2, 48000.0, 1);
    std::vector<std::vector<double>> tone { sine (0.1, 1000.0, 48000.0, 480), sine (0.1, 300.0, 48000.0, 480) };
    processOnce (*processor, tone);
    const auto isZeroOrNormal = [] (double v) { return v == 0.0 || std::abs (v) >= 2.2250738585072014e-308; };
    std::vector<std::vector<double>> zero { { 0.0 }, { 0.0 } };
    for (int n = 0; n < 60000; ++n)
    {
        zero[0][0] = zero[1][0] = 0.0;
        processOnce (*processor, zero);
        const auto& s = *processor->engineState;
        for (int k = 0; k < 8; ++k)
            ASSERT_TRUE (isZeroOrNormal (s.x1[k]) && isZeroOrNormal (s.x2[k]) && isZeroOrNormal (s.y1[k])
                         && isZeroOrNormal (s.y2[k]))
                << "sample " << n << ", section " << k;
    }
    const auto& s = *processor->engineState;
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ (s.y1[k], 0.0) << k; // rung out completely
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
