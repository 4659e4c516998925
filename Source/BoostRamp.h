#pragma once

#include "DetectorMode.h"

// The boost ramp: rises toward 1 while the detector level is at or above the mode's threshold and falls toward
// 0 below it; the boost gain is 1 + K x ramp.
class BoostRamp
{
public:
    void reset() noexcept { ramp = 0.0; }
    // The mode's threshold, ramp steps and K at this sample rate, for one block; the ramp carries on.
    void setMode(const DetectorMode& mode, double sampleRate) noexcept;
    // One step per detector level, giving the boost gain at that moment.
    void process(const double* levels, double* gains, int count) noexcept;
    double value() const noexcept { return ramp; }

private:
    double ramp = 0.0;
    double threshold = 0.0, riseStep = 0.0, fallStep = 0.0, boostFactor = 0.0;
};
