#include "DetectorWindow.h"

#include <algorithm>
#include <cmath>

namespace
{
// A running sum that has met extreme samples can overflow, or keep a rounding residue far above any real level
// once they have left the window, and would then read as signal (or as silence) for good. So each channel
// counts the extreme samples its ring holds and rebuilds its sum from the ring once the last one has left.
// Real audio never reaches the bound, so its sums are never touched.
constexpr double extremeSample = 65536.0;

struct Channel
{
    double* ring;
    double sum;
    int32_t extremeSamples;

    inline double write(int32_t position, int32_t length, double sample) noexcept
    {
        const double old = ring[position];
        ring[position] = sample;
        sum = sum + (std::abs(sample) - std::abs(old));
        if (std::abs(sample) > extremeSample)
            ++extremeSamples;
        if (std::abs(old) > extremeSample && --extremeSamples <= 0)
        {
            extremeSamples = 0;
            double rebuilt = 0.0;
            for (int32_t i = 0; i < length; ++i)
                rebuilt += std::abs(ring[i]);
            sum = rebuilt;
        }
        return sum;
    }
};

// The larger of two means; where one is NaN, the other.
inline double largerOf(double a, double b) noexcept
{
    if (std::isnan(a))
        return b;
    if (std::isnan(b))
        return a;
    return a < b ? b : a;
}
} // namespace

DetectorWindow::~DetectorWindow()
{
    release();
}

void DetectorWindow::release() noexcept
{
    rings[0].reset();
    rings[1].reset();
}

void DetectorWindow::prepare(int32_t length)
{
    windowLength = length;
    release();
    try
    {
        rings[0].reset(new double[(size_t)length]);
        rings[1].reset(new double[(size_t)length]);
    }
    catch (...)
    {
        release();
        throw;
    }
    reset();
}

void DetectorWindow::reset() noexcept
{
    for (auto& ring : rings)
        if (ring != nullptr)
            std::fill(ring.get(), ring.get() + windowLength, 0.0);
    sums[0] = sums[1] = 0.0;
    extremeSamples[0] = extremeSamples[1] = 0;
    position = 0;
}

void DetectorWindow::processMono(const double* input, double* levels, int count) noexcept
{
    process<false>(input, nullptr, levels, count);
}

void DetectorWindow::processStereo(const double* left, const double* right, double* levels, int count) noexcept
{
    process<true>(left, right, levels, count);
}

template <bool stereo>
void DetectorWindow::process(const double* inputLeft, const double* inputRight, double* levels, int count) noexcept
{
    Channel left{rings[0].get(), sums[0], extremeSamples[0]};
    Channel right{rings[1].get(), sums[1], extremeSamples[1]};
    const double length = (double)windowLength;
    int32_t slot = position;
    for (int i = 0; i < count; ++i)
    {
        if (++slot >= windowLength)
            slot = 0;
        const double meanLeft = left.write(slot, windowLength, inputLeft[i]) / length;
        levels[i] = stereo ? largerOf(meanLeft, right.write(slot, windowLength, inputRight[i]) / length) : meanLeft;
    }
    position = slot;
    sums[0] = left.sum;
    sums[1] = right.sum;
    extremeSamples[0] = left.extremeSamples;
    extremeSamples[1] = right.extremeSamples;
}
