// The chain's units on their own: window length, sanitising, detector level, boost ramp, limiter stages.
#include "EngineTestSupport.h"

#include "DetectorMode.h"

using namespace engine_test;

namespace
{
// The normal-mode detector level at 48 kHz after the input.
double settledLevel(const std::vector<double>& input)
{
    DetectorFilter filter;
    DetectorWindow window;
    window.prepare(480);
    filter.setCoefficients(BiquadCoefficients::lowPass(normalMode.lowPassOmega, 48000.0),
                           BiquadCoefficients::highPass(normalMode.highPassOmega, 48000.0));
    double band[64], levels[64];
    for (size_t start = 0; start < input.size(); start += 64)
    {
        filter.processMono(input.data() + start, band, 64);
        window.processMono(band, levels, 64);
    }
    return levels[63];
}

// Samples the ramp takes with the level held at `level`, from 0 up to 1, or from 1 down to 0; -1: never.
int rampSamples(const DetectorMode& mode, double rate, double level, bool fromTop)
{
    BoostRamp ramp;
    ramp.setMode(mode, rate);
    double signal = 1.0, gain;
    while (fromTop && ramp.value() < 1.0)
        ramp.process(&signal, &gain, 1);
    for (int n = 1; n <= 30000; ++n)
    {
        ramp.process(&level, &gain, 1);
        if (ramp.value() == (fromTop ? 0.0 : 1.0))
            return n;
    }
    return -1;
}
} // namespace

TEST(SignalChain, WindowIsTenMillisecondsRoundedDownAndNeverEmpty)
{
    const std::pair<double, int> table[] = {
        {8000, 80},   {11025, 110},   {22050, 220},   {32000, 320},        {44100, 441},     {48000, 480}, {88200, 882},
        {96000, 960}, {176400, 1764}, {192000, 1920}, {44100.5, 441},      {22050.9, 220},   {200, 2},     {99.99, 1},
        {0, 1},       {-48000, 1},    {NAN, 1},       {INFINITY, 2147483}, {1.0e12, 2147483}};
    for (const auto& [rate, length] : table)
        EXPECT_EQ(windowLengthForSampleRate(rate), length) << rate;
}

TEST(SignalChain, DetectorLevelIsTheLargerChannelsMeanOverTheWindowAndIgnoresDc)
{
    DetectorWindow window;
    window.prepare(4);
    const double left[] = {0.0, 0.4, 0.0, 0.0, 0.0, 0.0}, right[] = {0.8, 0.0, 0.0, 0.0, 0.0, 0.0};
    double levels[6];
    window.processStereo(left, right, levels, 6);
    EXPECT_EQ(std::vector<double>(levels, levels + 6), (std::vector<double>{0.2, 0.2, 0.2, 0.2, 0.1, 0.0}));
    EXPECT_LT(settledLevel(std::vector<double>(96000, 0.5)), 1e-6);
}
TEST(SignalChain, ExtremeSamplesLeaveNoTraceInTheDetectorOnceTheyHaveLeftTheWindow)
{
    for (double extreme : {1.7976931348623157e308, 1.0e300, 1.0e20, 3.4028234663852886e38})
    {
        std::vector<double> input(48000 * 3, 0.0);
        for (int i = 0; i < 96; ++i)
            input[(size_t)i] = (i % 7 < 3) ? extreme : -0.5 * extreme;
        EXPECT_LT(std::abs(settledLevel(input)), 1e-6) << extreme;
    }
}

TEST(SignalChain, RampCountsBoostsAndTheThresholdCountsAsSignal)
{
    EXPECT_EQ(rampSamples(normalMode, 44100.0, 1.0, false), 441);
    EXPECT_EQ(rampSamples(normalMode, 48000.0, 1.0, false), 481); // 480 x 1/480 stays just below 1
    EXPECT_EQ(rampSamples(normalMode, 48000.0, 0.0, true), 16801);
    EXPECT_EQ(rampSamples(vocalMode, 48000.0, 0.0, true), 24000);
    // Thresholds of -45 dB and -55 dB; a level right at them counts as signal. Full boosts of 11 and 1 + root 10.
    for (const auto& [mode, threshold, boost] :
         {std::tuple{&normalMode, std::exp(-5.1808164592366035), 11.000000000000002},
          {&vocalMode, std::exp(-6.332109005733626), 4.16227766016838}})
    {
        EXPECT_GT(rampSamples(*mode, 48000.0, threshold, false), 0);
        EXPECT_EQ(rampSamples(*mode, 48000.0, std::nextafter(threshold, 0.0), false), -1);
        BoostRamp ramp;
        ramp.setMode(*mode, 48000.0);
        std::vector<double> levels(1000, 1.0), gains(1000);
        ramp.process(levels.data(), gains.data(), 1000);
        EXPECT_EQ(gains.back(), boost);
    }
}

TEST(SignalChain, LimiterStaticCurveLinkedAcrossChannels)
{
    EngineState engine;
    const auto& stage1 = engine.limiterStages[0];
    EXPECT_EQ(stage1.staticReduction(1.0), 0.0);                                         // x = T
    EXPECT_EQ(stage1.staticReduction(-2.0), 5.960393914146828);                          // x = 6.02 dB
    EXPECT_NEAR(stage1.staticReduction(std::pow(10.0, -0.004 / 20.0)), -0.00396, 1e-12); // in the knee
    EXPECT_EQ(stage1.staticReduction(std::pow(10.0, -0.006 / 20.0)), 0.0);               // below it
    EXPECT_EQ(stage1.staticReduction(0.0), 0.0);                                         // -160 dB
    EXPECT_EQ(engine.limiterStages[1].staticReduction(1.0), 0.0099);

    for (const auto& stage : engine.limiterStages)
    {
        // Around the knee's lower edge, where log10 is skipped below a margin, exactly the Part's formula.
        const double t = &stage == &stage1 ? 0.0 : -0.01, edge = std::pow(10.0, (t - 0.005) / 20.0);
        for (double m = edge * (1.0 - 1e-8); m < edge * (1.0 + 1e-8); m *= 1.0 + 1e-11)
        {
            const double x = 20.0 * std::log10(m), y = 2.0 * (x - t) < -0.01 ? x : (x - t) / 100.0 + t;
            ASSERT_EQ(stage.staticReduction(m), x - y) << m;
        }
        // In stereo the larger of both channels' reductions, whichever side and however close they are.
        const double magnitudes[] = {0.0,  0.25,        edge * (1 - 2e-9), edge, std::nextafter(edge, 2.0), 0.9996,
                                     1.0,  1.0 + 1e-16, 1.0000001,         2.0,  std::nextafter(2.0, 3.0),  4.0,
                                     1e300};
        for (double a : magnitudes)
            for (double b : magnitudes)
                ASSERT_EQ(stage.staticReduction(a, -b), std::max(stage.staticReduction(a), stage.staticReduction(b)))
                    << a << ", " << b;
    }
}

TEST(SignalChain, LimiterCoefficientsPerRateAndBothStagesAtWork)
{
    // Rate, then attack and release of stage one and of stage two.
    const double table[][5] = {
        {44100, 0.9629123442646866, 0.9999716557305046, 1.4192292867942123e-10, 0.9999546495544397},
        {48000, 0.9658736772410497, 0.9999739586724146, 8.95773671769673e-10, 0.9999583342013768}};
    EngineState engine;
    auto& [stage1, stage2] = engine.limiterStages;
    for (const auto& row : table) // the second rate replaces the first one's coefficients
        for (int s = 0; s < 2; ++s)
        {
            engine.limiterStages[s].setSampleRate(row[0]);
            EXPECT_EQ(engine.limiterStages[s].attackCoefficient(), row[1 + 2 * s]) << row[0];
            EXPECT_EQ(engine.limiterStages[s].releaseCoefficient(), row[2 + 2 * s]) << row[0];
        }

    std::vector<double> loud(4800, 2.0);
    for (size_t start = 0; start < loud.size(); start += 64)
        stage1.processMono(loud.data() + start, 64);
    EXPECT_NEAR(loud.back() / 2.0, std::pow(10.0, -5.960393914146828 / 20.0), 1e-9); // 0.50348 after the attack
    double block[] = {1.0, 4.0, 2.2250738585072014e-308};
    stage2.processMono(block, 1);
    EXPECT_NEAR(block[0], std::pow(10.0, -0.0099 / 20.0), 1e-9); // within the same sample
    stage1.processMono(block + 1, 2);                            // leaves a subnormal, which stage two takes as 0
    stage2.processMono(block + 1, 2);
    EXPECT_EQ(block[2], 0.0);
}
