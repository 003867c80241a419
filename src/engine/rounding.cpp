#include "engine/rounding.h"

#include <cmath>

#include "common/run_time_error.h"

namespace quotaplan {

float RoundHalfEven(float value, int decimals) {
    static constexpr double kPowersOfTen[13] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                                1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    if (decimals < 0 || decimals > 12) throw RunTimeError::InvalidArgument();
    if (!std::isfinite(value)) return value;
    // A float has 24 significant bits and 10^12 = 2^12 * 5^12 needs 28 more: the product
    // is exact in a double, so the tie test sees the true binary value.
    const double scale = kPowersOfTen[decimals];
    const double scaled = static_cast<double>(value) * scale;
    // nearbyint rounds ties to even under the default rounding mode, which the program
    // never changes.
    const double nearest = std::nearbyint(scaled);
    return static_cast<float>(nearest / scale);
}

}  // namespace quotaplan
