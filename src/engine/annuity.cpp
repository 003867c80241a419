#include "engine/annuity.h"

#include <limits>

#include "common/run_time_error.h"
#include "engine/checked_math.h"

namespace quotaplan {
namespace {

// The base 1 + i is formed in 64 bits from the 32-bit rate: forming it in 32 bits loses
// the low bits of i and moves the published results.
double Base(float i) { return 1.0 + static_cast<double>(i); }

}  // namespace

float CompoundRate(float i, std::int16_t n) { return ToSingle(CheckedPow(Base(i), n) - 1.0); }

double PeriodRate(float j, std::int16_t m) {
    return CheckedPow(Base(j), CheckedDivide(1.0, m)) - 1.0;
}

float AnnuityArrears(std::int16_t n, float i) {
    return ToSingle(CheckedDivide(1.0 - CheckedPow(Base(i), -n), i));
}

float AnnuityAdvance(std::int16_t n, float i) {
    if (n == std::numeric_limits<std::int16_t>::min()) throw RunTimeError::Overflow();
    const std::int16_t earlier = static_cast<std::int16_t>(n - 1);
    return ToSingle(1.0 + CheckedDivide(1.0 - CheckedPow(Base(i), -earlier), i));
}

float AccumulationFactor(std::int16_t n, float i) {
    return ToSingle(CheckedDivide(CheckedPow(Base(i), n) - 1.0, i));
}

float PresentValue(float c, std::int16_t n, float i) {
    return ToSingle(static_cast<double>(c) * CheckedPow(Base(i), -n));
}

float PeriodicRateOf(float j, std::int16_t m, bool compound) {
    return ToSingle(compound ? PeriodRate(j, m) : CheckedDivide(j, m));
}

}  // namespace quotaplan
