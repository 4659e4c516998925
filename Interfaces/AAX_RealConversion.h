// Narrowing a double to a parameter's real type without undefined behaviour.
#pragma once

#include <cmath>
#include <limits>
#include <type_traits>

// A double as the real type T: out-of-range values become the nearest infinity for floating types (what the
// conversion itself would give, without its undefined behaviour) and the nearest bound for integer types,
// where NaN becomes 0.
template <typename T>
T AAX_RealFromDouble(double value)
{
    if constexpr (std::is_floating_point_v<T>)
    {
        if (value > static_cast<double>(std::numeric_limits<T>::max()))
            return std::numeric_limits<T>::infinity();
        if (value < static_cast<double>(std::numeric_limits<T>::lowest()))
            return -std::numeric_limits<T>::infinity();
        return static_cast<T>(value);
    }
    else
    {
        if (std::isnan(value))
            return T(0);
        if (value >= static_cast<double>(std::numeric_limits<T>::max()))
            return std::numeric_limits<T>::max();
        if (value <= static_cast<double>(std::numeric_limits<T>::lowest()))
            return std::numeric_limits<T>::lowest();
        return static_cast<T>(value);
    }
}
