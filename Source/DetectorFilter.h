#pragma once

#include "SamplePair.h"

// One biquad section's coefficients, normalised so that a0 = 1.
struct BiquadCoefficients
{
    double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;

    // The cookbook's low-pass and high-pass for a corner given as 2 pi f, with Q = 0.7071068 as a float holds it.
    static BiquadCoefficients lowPass(double omega, double sampleRate) noexcept;
    static BiquadCoefficients highPass(double omega, double sampleRate) noexcept;
};

// The detector's band limit: per channel two low-pass and then two high-pass sections in direct form I. Both
// chains use the same coefficients; in stereo they run as sample pairs.
class DetectorFilter
{
public:
    static constexpr int numSections = 4;

    void reset() noexcept;
    // The low-pass set goes to the first two sections, the high-pass set to the last two; states carry on.
    void setCoefficients(const BiquadCoefficients& lowPass, const BiquadCoefficients& highPass) noexcept;

    // Raw samples in (bad values count as 0), band-limited samples out. Mono leaves the right chain alone.
    void processMono(const double* input, double* output, int count) noexcept;
    void processStereo(const double* inputLeft, const double* inputRight, double* outputLeft, double* outputRight,
                       int count) noexcept;

private:
    template <typename V>
    void process(const double* inputLeft, const double* inputRight, double* outputLeft, double* outputRight,
                 int count) noexcept;

    BiquadCoefficients coefficients[numSections];
    // Per section: last input, the input before, last output, the output before; lane 0 left, lane 1 right.
    SamplePair x1[numSections] = {}, x2[numSections] = {}, y1[numSections] = {}, y2[numSections] = {};
};
