#pragma once

#include <cmath>

#include "common/run_time_error.h"

namespace quotaplan {

// Rounds a 32-bit value to d decimals, half to even, on its exact binary value.
//
//   result = float( nearest_even( value * 10^d ) / 10^d )
//
// value: a 32-bit number; d: decimals, 0..12.
// Exact halves go to the even neighbour (0.125 -> 0.12, 0.375 -> 0.38); a value that only
// looks like a half in decimal is rounded by what it really is (2.345f is 2.3450000286...,
// so 2.35; 2.675f is 2.6749999523..., so 2.67).
// Infinities and NaN come back unchanged. Raises RunTimeError 5 for d outside 0..12.
// Inline: every plan row rounds its capital share.
inline float RoundHalfEven(float value, int decimals) {
    static constexpr double kPowersOfTen[13] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                                1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    if (decimals < 0 || decimals > 12) throw RunTimeError::InvalidArgument();
    if (!std::isfinite(value)) return value;
    // A float has 24 significant bits and 10^12 = 2^12 * 5^12 needs 28 more: the product
    // is exact in a double, so the tie test sees the true binary value. nearbyint sends
    // ties to even under the default rounding mode, which the program never changes.
    const double scale = kPowersOfTen[decimals];
    return static_cast<float>(std::nearbyint(static_cast<double>(value) * scale) / scale);
}

}  // namespace quotaplan
