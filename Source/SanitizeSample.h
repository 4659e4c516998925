#pragma once

#include <cstdint>
#include <cstring>

// Returns v when it is a finite normal number, otherwise +0.0 (zeros, subnormals, infinities, NaN). Read from
// the exponent field alone: it is all zeros for zeros and subnormals and all ones for infinities and NaN.
inline double sanitizeSample(double v) noexcept
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof(bits));
    const uint64_t exponent = bits & 0x7FF0000000000000ull;
    return (exponent != 0 && exponent != 0x7FF0000000000000ull) ? v : 0.0;
}
