#include "LimiterStage.h"

#include "SanitizeSample.h"

#include <cmath>

namespace
{
constexpr double ln10 = 2.302585092994046;

// Both channels are at least this close in magnitude before both reductions are computed: farther apart,
// the larger one's reduction is larger by some 8e-6 dB, far beyond any rounding.
constexpr double linkMargin = 1.0 - 0x1.0p-20;

// The static curve's reduction in dB for a magnitude: none below the knee's lower edge (where a magnitude
// below `quiet` certainly lies, zero included: it counts as -160 dB), else x - ((x - t) / ratio + t).
inline double reductionOf(double magnitude, double t, double quiet) noexcept
{
    if (magnitude < quiet)
        return 0.0;
    const double x = sanitizeSample(20.0 * std::log10(magnitude));
    const double y = (2.0 * (x - t) < -LimiterStage::kneeDb) ? x : sanitizeSample((x - t) / LimiterStage::ratio + t);
    return x - y;
}

// The larger of both channels' reductions. Above the knee's lower edge the reduction grows with the magnitude
// and below it is 0, so the larger channel's reduction decides unless it is negative (inside the knee) or the
// two magnitudes are too close to tell apart.
inline double linkedReductionOf(double left, double right, double t, double quiet) noexcept
{
    const double a = std::abs(left), b = std::abs(right);
    const double larger = a < b ? b : a, smaller = a < b ? a : b;
    const double r = reductionOf(larger, t, quiet);
    if (smaller < quiet)
        return r > 0.0 ? r : 0.0;
    if (smaller == larger || (r > 0.0 && smaller <= larger * linkMargin))
        return r;
    const double s = reductionOf(smaller, t, quiet);
    return r < s ? s : r;
}

// Release filter then attack filter of one channel; returns the reduction to apply. Both states hold only
// sanitised values and r is finite, so neither needs sanitising on the way in.
inline double smooth(double r, double aR, double oneMinusR, double aA, double oneMinusA, double& peak,
                     double& smoothed) noexcept
{
    const double released = oneMinusR * r + aR * peak;
    const double p = released < r ? r : released;
    const double q = sanitizeSample(oneMinusA * p + aA * smoothed);
    peak = sanitizeSample(p);
    smoothed = q;
    return q;
}

// Gain for each reduction; exp (-0) is exactly 1.
inline void gainsFor(const double* reductions, double* gains, int count) noexcept
{
    for (int i = 0; i < count; ++i)
        gains[i] = reductions[i] == 0.0 ? 1.0 : std::exp((reductions[i] / -20.0) * ln10);
}
} // namespace

LimiterStage::LimiterStage(LimiterSettings s) noexcept
    : settings(s),
      // A margin of 1e-9 in magnitude (some 9e-9 dB) puts rounding in log10 out of reach of the knee's edge.
      noReductionBelow(std::pow(10.0, (s.thresholdDb - kneeDb / 2.0) / 20.0) * (1.0 - 1.0e-9))
{
}

void LimiterStage::reset() noexcept
{
    attack = release = cachedSampleRate = cachedReleaseMs = 0.0;
    peakReduction[0] = peakReduction[1] = smoothedReduction[0] = smoothedReduction[1] = 0.0;
}

void LimiterStage::setSampleRate(double sampleRate) noexcept
{
    if (sampleRate != cachedSampleRate)
    {
        attack = std::exp(-1000.0 / (settings.attackMs * sampleRate));
        release = std::exp(-1000.0 / (settings.releaseMs * sampleRate));
    }
    else if (cachedReleaseMs != settings.releaseMs)
    {
        release = std::exp(-1000.0 / (settings.releaseMs * sampleRate));
    }
    cachedSampleRate = sampleRate;
    cachedReleaseMs = settings.releaseMs;
}

double LimiterStage::staticReduction(double sample) const noexcept
{
    return reductionOf(std::abs(sample), settings.thresholdDb, noReductionBelow);
}

double LimiterStage::staticReduction(double left, double right) const noexcept
{
    return linkedReductionOf(left, right, settings.thresholdDb, noReductionBelow);
}

// Each block runs in passes: the static curve (the log10 calls), the smoothing, the gains (the exp calls), the
// products; calls in a row of their own keep the smoothing's state in registers.
void LimiterStage::processMono(double* samples, int count) noexcept
{
    double reductions[maxBlock], gains[maxBlock];
    const double threshold = settings.thresholdDb, quiet = noReductionBelow;
    for (int i = 0; i < count; ++i)
    {
        samples[i] = sanitizeSample(samples[i]);
        reductions[i] = reductionOf(std::abs(samples[i]), threshold, quiet);
    }

    const double aA = attack, aR = release, oneMinusA = 1.0 - aA, oneMinusR = 1.0 - aR;
    double peak = peakReduction[0], smoothed = smoothedReduction[0];
    for (int i = 0; i < count; ++i)
        reductions[i] = smooth(reductions[i], aR, oneMinusR, aA, oneMinusA, peak, smoothed);
    peakReduction[0] = peak;
    smoothedReduction[0] = smoothed;

    gainsFor(reductions, gains, count);
    for (int i = 0; i < count; ++i)
        samples[i] = samples[i] * gains[i];
}

void LimiterStage::processStereo(double* left, double* right, int count) noexcept
{
    double reductions[maxBlock], gains[maxBlock];
    const double threshold = settings.thresholdDb, quiet = noReductionBelow;
    for (int i = 0; i < count; ++i)
    {
        left[i] = sanitizeSample(left[i]);
        right[i] = sanitizeSample(right[i]);
        reductions[i] = linkedReductionOf(left[i], right[i], threshold, quiet);
    }

    const double aA = attack, aR = release, oneMinusA = 1.0 - aA, oneMinusR = 1.0 - aR;
    double peakLeft = peakReduction[0], smoothedLeft = smoothedReduction[0];
    double peakRight = peakReduction[1], smoothedRight = smoothedReduction[1];
    // Equal states fed the same linked reduction stay equal, and so do their gains; otherwise the right
    // channel takes its own (rare: only after mono blocks without a new preparation).
    if (peakLeft == peakRight && smoothedLeft == smoothedRight)
    {
        for (int i = 0; i < count; ++i)
            reductions[i] = smooth(reductions[i], aR, oneMinusR, aA, oneMinusA, peakLeft, smoothedLeft);
        peakRight = peakLeft;
        smoothedRight = smoothedLeft;
        gainsFor(reductions, gains, count);
        for (int i = 0; i < count; ++i)
        {
            left[i] = left[i] * gains[i];
            right[i] = right[i] * gains[i];
        }
    }
    else
    {
        double reductionsRight[maxBlock], gainsRight[maxBlock];
        for (int i = 0; i < count; ++i)
        {
            const double r = reductions[i];
            reductions[i] = smooth(r, aR, oneMinusR, aA, oneMinusA, peakLeft, smoothedLeft);
            reductionsRight[i] = smooth(r, aR, oneMinusR, aA, oneMinusA, peakRight, smoothedRight);
        }
        gainsFor(reductions, gains, count);
        gainsFor(reductionsRight, gainsRight, count);
        for (int i = 0; i < count; ++i)
        {
            left[i] = left[i] * gains[i];
            right[i] = right[i] * gainsRight[i];
        }
    }
    peakReduction[0] = peakLeft;
    smoothedReduction[0] = smoothedLeft;
    peakReduction[1] = peakRight;
    smoothedReduction[1] = smoothedRight;
}
