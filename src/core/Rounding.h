#pragma once
// Rounding of the sizing's single-precision figures to integers, within range.

#include <cmath>
#include <cstdint>
#include <limits>

/// Nearest integer, ties to even; NaN gives 0, values beyond the range the nearest bound.
inline int64_t RoundEven64(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v);
    if (r >= 9.2e18)
        return std::numeric_limits<int64_t>::max();
    if (r <= -9.2e18)
        return std::numeric_limits<int64_t>::min();
    return int64_t(r);
}

inline int32_t ClampToInt32(int64_t v)
{
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

/// Nearest integer of a single-precision value, ties to even, within 32 bits.
inline int32_t RoundEven(float v)
{
    return ClampToInt32(RoundEven64(double(std::nearbyint(v))));
}

/// The value without its fraction, within 32 bits (NaN gives 0).
inline int32_t TruncToInt32(float v)
{
    if (std::isnan(v))
        return 0;
    return ClampToInt32(RoundEven64(double(std::trunc(v))));
}
