#include "DetectorFilter.h"

#include <cmath>

namespace
{
// 2Q with Q = 0.7071068 held in single precision.
constexpr double twoQ = 1.4142136573791504;

struct Design
{
    double alpha, cosine, inv;
};

Design designFor(double omega, double sampleRate) noexcept
{
    const double w0 = omega / sampleRate;
    const double alpha = std::sin(w0) / twoQ;
    return {alpha, std::cos(w0), 1.0 / (1.0 + alpha)};
}

// The chain code is written once for V = double (mono: the left lane of the state) and V = SamplePair (stereo).
template <typename V>
struct Lanes;

template <>
struct Lanes<double>
{
    static double splat(double v) noexcept { return v; }
    static double of(SamplePair state) noexcept { return state[0]; }
    static void set(SamplePair& state, double v) noexcept { state[0] = v; }
    static double load(const double* left, const double*, int i) noexcept { return left[i]; }
    static void store(double v, double* left, double*, int i) noexcept { left[i] = v; }
    // True when sanitising leaves the value unchanged and it is not 0: a finite normal number.
    static bool allNormal(double v) noexcept { return sanitizeSample(v) == v && v != 0.0; }
    // The value where the sum that produced it stayed finite, 0 where it overflowed.
    static double keptWhereFinite(double value, double sum) noexcept { return sum - sum == 0.0 ? value : 0.0; }
};

template <>
struct Lanes<SamplePair>
{
    static SamplePair splat(double v) noexcept { return SamplePair{v, v}; }
    static SamplePair of(SamplePair state) noexcept { return state; }
    static void set(SamplePair& state, SamplePair v) noexcept { state = v; }
    static SamplePair load(const double* left, const double* right, int i) noexcept
    {
        return SamplePair{left[i], right[i]};
    }
    static void store(SamplePair v, double* left, double* right, int i) noexcept
    {
        left[i] = v[0];
        right[i] = v[1];
    }
    static bool allNormal(SamplePair v) noexcept
    {
        const SamplePair magnitude = (SamplePair)((SamplePairMask)v & 0x7FFFFFFFFFFFFFFFll);
        const SamplePairMask normal = (magnitude >= DBL_MIN) & (magnitude <= DBL_MAX);
        return (normal[0] & normal[1]) != 0;
    }
    static SamplePair keptWhereFinite(SamplePair value, SamplePair sum) noexcept
    {
        return (SamplePair)((SamplePairMask)value & (sum - sum == 0.0));
    }
};

// One section's coefficients and state, in registers for the length of a run.
template <typename V>
struct Section
{
    V b0, b1, b2, a1, a2, x1, x2, y1, y2;

    V sum(V x) const noexcept { return b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2; }

    void advance(V x, V y) noexcept
    {
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
    }

    // x is already sanitised; so is the output.
    V step(V x) noexcept
    {
        const V s = sum(x);
        const V y = sanitizeSample(s);
        advance(x, y);
        // Inputs near the largest double would leave the section ringing near overflow for good, each overflow
        // turned into 0 kicking it again; the channel's section starts afresh instead.
        if (overflowed(s))
        {
            x1 = Lanes<V>::keptWhereFinite(x1, s);
            x2 = Lanes<V>::keptWhereFinite(x2, s);
            y1 = Lanes<V>::keptWhereFinite(y1, s);
            y2 = Lanes<V>::keptWhereFinite(y2, s);
        }
        return y;
    }

    // A section's own feedback is the only chain from sample to sample, so each section runs over the whole
    // run before the next one. Sanitising every sum would lengthen that chain: a sum that is a normal number
    // is taken as it is, and only otherwise (silence, ringing out, overflow) does the section take the full step.
    void run(const double* inLeft, const double* inRight, double* outLeft, double* outRight, int count,
             bool rawInput) noexcept
    {
        for (int i = 0; i < count; ++i)
        {
            V x = Lanes<V>::load(inLeft, inRight, i);
            if (rawInput)
                x = sanitizeSample(x);
            const V s = sum(x);
            V y;
            if (__builtin_expect(Lanes<V>::allNormal(s), 1))
            {
                advance(x, s);
                y = s;
            }
            else
            {
                y = step(x);
            }
            Lanes<V>::store(y, outLeft, outRight, i);
        }
    }
};
} // namespace

BiquadCoefficients BiquadCoefficients::lowPass(double omega, double sampleRate) noexcept
{
    const auto d = designFor(omega, sampleRate);
    const double b0 = (1.0 - d.cosine) * d.inv * 0.5;
    return {b0, b0 + b0, b0, (-2.0 * d.cosine) * d.inv, (1.0 - d.alpha) * d.inv};
}

BiquadCoefficients BiquadCoefficients::highPass(double omega, double sampleRate) noexcept
{
    const auto d = designFor(omega, sampleRate);
    const double b0 = (1.0 + d.cosine) * d.inv * 0.5;
    return {b0, -2.0 * b0, b0, (-2.0 * d.cosine) * d.inv, (1.0 - d.alpha) * d.inv};
}

void DetectorFilter::reset() noexcept
{
    *this = DetectorFilter();
}

void DetectorFilter::setCoefficients(const BiquadCoefficients& lowPass, const BiquadCoefficients& highPass) noexcept
{
    coefficients[0] = coefficients[1] = lowPass;
    coefficients[2] = coefficients[3] = highPass;
}

template <typename V>
void DetectorFilter::process(const double* inputLeft, const double* inputRight, double* outputLeft, double* outputRight,
                             int count) noexcept
{
    using L = Lanes<V>;
    for (int k = 0; k < numSections; ++k)
    {
        const auto& c = coefficients[k];
        Section<V> section{L::splat(c.b0), L::splat(c.b1), L::splat(c.b2), L::splat(c.a1), L::splat(c.a2),
                           L::of(x1[k]),   L::of(x2[k]),   L::of(y1[k]),   L::of(y2[k])};
        if (k == 0)
            section.run(inputLeft, inputRight, outputLeft, outputRight, count, true);
        else
            section.run(outputLeft, outputRight, outputLeft, outputRight, count, false);
        L::set(x1[k], section.x1);
        L::set(x2[k], section.x2);
        L::set(y1[k], section.y1);
        L::set(y2[k], section.y2);
    }
}

void DetectorFilter::processMono(const double* input, double* output, int count) noexcept
{
    process<double>(input, nullptr, output, nullptr, count);
}

void DetectorFilter::processStereo(const double* inputLeft, const double* inputRight, double* outputLeft,
                                   double* outputRight, int count) noexcept
{
    process<SamplePair>(inputLeft, inputRight, outputLeft, outputRight, count);
}
