#include "engine/exact_period_rate.h"

#include <cmath>

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

constexpr std::int64_t kPercentUnitsPerWhole = 1000000;  // Percent units in a rate of 1 (100 %)
constexpr __int128 kRateDecimalsScale =
    static_cast<__int128>(100000000000000000LL) * 1000;  // 10^20

// 113-bit binary floating point (GCC and Clang on x86-64; its + - * / come with the
// compiler's runtime).
using Quad = __float128;

Quad Power(Quad base, int exponent) {
    Quad result = 1;
    for (; exponent > 0; exponent /= 2, base *= base) {
        if (exponent % 2 == 1) result *= base;
    }
    return result;
}

// round(10^20 ((1 + j)^(1/m) - 1)), half up. The m-th root is taken by two Newton steps in
// 113 bits from the long double root (good to about 10^-19), which leaves 10^20 times the
// rate within about 10^-13 of its true value. That decides the rounding: an exact root
// (1,21^(1/2) = 1,1) comes out exact, and for every rate of four decimals from -99,9999 %
// to 1.000 % and m of 2, 3, 4, 6 or 12 the true value lies at least 6 * 10^-9 from a
// half. Raises RunTimeError 5 for j at or below -100 %, 6 when the result leaves 10^36.
__int128 CompoundPeriodRate(Percent annual, std::int16_t m) {
    const std::int64_t units = annual.TenThousandths();
    if (units <= -kPercentUnitsPerWhole) throw RunTimeError::InvalidArgument();
    if (m == 1) return static_cast<__int128>(units) * (kRateDecimalsScale / kPercentUnitsPerWhole);
    const Quad base =
        static_cast<Quad>(kPercentUnitsPerWhole + units) / static_cast<Quad>(kPercentUnitsPerWhole);
    Quad root = std::pow(static_cast<long double>(base), 1.0L / m);
    for (int step = 0; step < 2; ++step) {
        const Quad below = Power(root, m - 1);
        root -= (below * root - base) / (m * below);
    }
    const Quad scaled = (root - 1) * static_cast<Quad>(kRateDecimalsScale);
    const Quad magnitude = (scaled < 0 ? -scaled : scaled) + static_cast<Quad>(0.5);
    if (!(magnitude < static_cast<Quad>(1e36))) throw RunTimeError::Overflow();
    const auto rounded = static_cast<__int128>(magnitude);
    return scaled < 0 ? -rounded : rounded;
}

__int128 CheckedProduct(__int128 a, __int128 b) {
    __int128 product = 0;
    if (__builtin_mul_overflow(a, b, &product)) throw RunTimeError::Overflow();
    return product;
}

}  // namespace

ExactPeriodRate::ExactPeriodRate(Percent annual, std::int16_t m, Capitalisation capitalisation)
    : annual_(annual) {
    if (m < 1) throw RunTimeError::InvalidArgument();
    if (capitalisation == Capitalisation::Simple) {
        numerator_ = annual.TenThousandths();
        denominator_ = static_cast<__int128>(kPercentUnitsPerWhole) * m;
    } else {
        numerator_ = CompoundPeriodRate(annual, m);
        denominator_ = kRateDecimalsScale;
    }
    if (!(numerator_ > -denominator_)) throw RunTimeError::InvalidArgument();
    value_ = static_cast<long double>(numerator_) / static_cast<long double>(denominator_);
}

Money ExactPeriodRate::InterestOn(Money amount) const {
    return Money::FromCents(RoundHalfUp(CheckedProduct(amount.Cents(), numerator_), denominator_));
}

Money ExactPeriodRate::DiscountedOnePeriod(Money amount) const {
    return Money::FromCents(
        RoundHalfUp(CheckedProduct(amount.Cents(), denominator_), denominator_ + numerator_));
}

long double ExactPeriodRate::Discount(int n) const { return std::exp(-n * std::log1p(value_)); }

long double ExactPeriodRate::AnnuityArrears(int n) const {
    if (value_ == 0) return n;
    return -std::expm1(-n * std::log1p(value_)) / value_;
}

Money AnnuityInstalment(Money debt, Money buyout, long double annuity, const ExactPeriodRate& rate,
                        int buyoutPeriods) {
    const long double payable =
        static_cast<long double>(debt.Cents()) -
        static_cast<long double>(buyout.Cents()) * rate.Discount(buyoutPeriods);
    return Money::FromCents(RoundHalfUpScaled(payable / annuity, 1));
}

}  // namespace quotaplan
