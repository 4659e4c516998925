#include "MeterSteps.h"

#include "SanitizeSample.h"

#include <cmath>

double meterStepForPeak(double peak) noexcept
{
    if (sanitizeSample(peak) == 0.0)
        return 1.0;

    constexpr double upperBoundsDb[]{-48.0, -36.0, -24.0, -18.0, -12.0, -9.0, -6.0, -3.0, 0.0, 2.9};
    const double db = 20.0 * std::log10(peak);
    double step = 1.0;
    for (double bound : upperBoundsDb)
    {
        if (db < bound)
            return step;
        step += 1.0;
    }
    return step;
}
