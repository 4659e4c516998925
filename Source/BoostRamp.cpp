#include "BoostRamp.h"

#include <cmath>

void BoostRamp::setMode(const DetectorMode& mode, double sampleRate) noexcept
{
    threshold = std::exp(mode.logThreshold);
    boostFactor = std::exp(mode.logBoostFactor);
    riseStep = 1000.0 / (mode.riseMs * sampleRate);
    fallStep = 1000.0 / (mode.fallMs * sampleRate);
}

void BoostRamp::process(const double* levels, double* gains, int count) noexcept
{
    const double atLeast = threshold, rise = riseStep, fall = fallStep, k = boostFactor;
    double r = ramp;
    for (int i = 0; i < count; ++i)
    {
        if (levels[i] >= atLeast)
        {
            r = r + rise;
            if (r > 1.0)
                r = 1.0;
        }
        else
        {
            r = r - fall;
            if (r < 0.0)
                r = 0.0;
        }
        gains[i] = r * k + 1.0;
    }
    ramp = r;
}
