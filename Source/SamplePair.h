#pragma once

#include "SanitizeSample.h"

#include <cfloat>

// The left and right sample of one moment, computed as one: each lane does exactly the arithmetic a single
// double would, so pairs give the same bits as two scalar passes.
typedef double SamplePair __attribute__((vector_size(16)));
typedef long long SamplePairMask __attribute__((vector_size(16)));

inline SamplePair sanitizeSample(SamplePair v) noexcept
{
    const SamplePair magnitude = (SamplePair)((SamplePairMask)v & 0x7FFFFFFFFFFFFFFFll);
    return (SamplePair)((SamplePairMask)v & ((magnitude >= DBL_MIN) & (magnitude <= DBL_MAX)));
}

// True when a value overflowed: infinite or NaN.
inline bool overflowed(double v) noexcept
{
    return v - v != 0.0;
}

inline bool overflowed(SamplePair v) noexcept
{
    const SamplePairMask bad = v - v != 0.0;
    return (bad[0] | bad[1]) != 0;
}
