#pragma once

struct LimiterSettings
{
    double thresholdDb;
    double attackMs;
    double releaseMs;
};

// A peak limiter: a gain computer in dB (ratio 100, knee 0.01 dB) whose reduction is linked across the
// channels, smoothed by a release filter that jumps to any larger reduction and then an attack filter.
class LimiterStage
{
public:
    static constexpr double ratio = 100.0;
    static constexpr double kneeDb = 0.01;

    explicit LimiterStage(LimiterSettings settings) noexcept;

    // No reduction, and coefficients to be made at the next block.
    void reset() noexcept;
    // Once per block: installs the coefficients for this rate when the cache asks for them.
    void setSampleRate(double sampleRate) noexcept;

    // The reduction in dB the static curve asks for: of one sample, or the larger of a stereo pair's.
    double staticReduction(double sample) const noexcept;
    double staticReduction(double left, double right) const noexcept;

    // In place, over at most maxBlock samples; inputs are sanitised first, outputs are not. Mono leaves the
    // right channel's state alone.
    static constexpr int maxBlock = 64;
    void processMono(double* samples, int count) noexcept;
    void processStereo(double* left, double* right, int count) noexcept;

    double attackCoefficient() const noexcept { return attack; }
    double releaseCoefficient() const noexcept { return release; }

private:
    LimiterSettings settings;
    // Magnitudes below this lie clearly below the knee's lower edge: no reduction, and no log10 needed.
    double noReductionBelow;
    double attack = 0.0, release = 0.0;
    double cachedSampleRate = 0.0, cachedReleaseMs = 0.0;
    // Per channel: release filter state and attack filter state (the reduction applied), in dB.
    double peakReduction[2] = {}, smoothedReduction[2] = {};
};
