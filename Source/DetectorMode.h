#pragma once

// What the two detector modes set. Corners enter the filter design as 2 pi times the corner frequency; the
// threshold and the boost factor are kept as natural logarithms and exponentiated once per block.
struct DetectorMode
{
    double lowPassOmega;
    double highPassOmega;
    double logThreshold;   // mean absolute level that counts as signal
    double riseMs;         // ramp time 0 -> 1
    double fallMs;         // ramp time 1 -> 0
    double logBoostFactor; // K in the boost 1 + K x ramp
};

inline constexpr DetectorMode normalMode{56548.66776461628, 1256.6370614359173, -5.1808164592366035, 10.0, 350.0,
                                         2.302585092994046};
inline constexpr DetectorMode vocalMode{12566.370614359172, 3141.592653589793, -6.332109005733626, 8.0, 500.0,
                                        1.151292546497023};
