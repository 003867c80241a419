#pragma once

#include <cmath>

#include "common/run_time_error.h"

namespace quotaplan {

// The engine's arithmetic raises errors where the classic runtime did; C++ floating
// point raises nothing by itself, so every primitive goes through these checks.

// Rounds a 64-bit result to 32 bits.
// Raises RunTimeError 6 (Overflow) when the result is infinite or beyond the 32-bit
// range, RunTimeError 5 when it is not a number.
inline float ToSingle(double value) {
    if (std::isnan(value)) throw RunTimeError::InvalidArgument();
    const float single = static_cast<float>(value);
    if (std::isinf(single)) throw RunTimeError::Overflow();
    return single;
}

// base ^ exponent in 64 bits.
// Raises RunTimeError 5 for a negative base with a fractional exponent and for a zero
// base with a negative exponent (no value exists), RunTimeError 6 when the power
// overflows 64 bits.
double CheckedPow(double base, double exponent);

// numerator / denominator in 64 bits.
// Raises RunTimeError 11 (Divisione per zero) when the denominator is exactly 0,
// 0 / 0 included.
double CheckedDivide(double numerator, double denominator);

}  // namespace quotaplan
