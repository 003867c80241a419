#include "engine/checked_math.h"

#include <cmath>

#include "common/run_time_error.h"

namespace quotaplan {

double CheckedPow(double base, double exponent) {
    if (std::isnan(base) || std::isnan(exponent)) throw RunTimeError::InvalidArgument();
    if (base < 0 && std::isfinite(exponent) && exponent != std::trunc(exponent)) {
        throw RunTimeError::InvalidArgument();
    }
    if (base == 0 && exponent < 0) throw RunTimeError::InvalidArgument();
    const double power = std::pow(base, exponent);
    if (std::isinf(power)) throw RunTimeError::Overflow();
    if (std::isnan(power)) throw RunTimeError::InvalidArgument();
    return power;
}

double CheckedDivide(double numerator, double denominator) {
    if (denominator == 0) throw RunTimeError::DivisionByZero();
    const double quotient = numerator / denominator;
    if (std::isinf(quotient)) throw RunTimeError::Overflow();
    if (std::isnan(quotient)) throw RunTimeError::InvalidArgument();
    return quotient;
}

}  // namespace quotaplan
