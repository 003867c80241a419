#pragma once

#include <cstdint>

#include "engine/money.h"

namespace quotaplan {

enum class Capitalisation { Simple, Compound };

// The rate of one period as an exact fraction, and what it makes of an amount: the
// arithmetic of the plan to the cent and of the events that re-derive a plan.
//
//   simple:   i = j / m, kept as that exact fraction;
//   compound: i = (1 + j)^(1/m) - 1, rounded once, half up, to 20 decimals, so that an exact
//             root stays exact (1,21^(1/2) - 1 is exactly 0,1).
//
// Raises RunTimeError 5 for j at or below -100 % a period (or m < 1), 6 when the compound
// rate leaves 10^36.
class ExactPeriodRate {
public:
    ExactPeriodRate(Percent annual, std::int16_t m, Capitalisation capitalisation);

    Percent Annual() const { return annual_; }

    // round(amount * i), on whole numbers: an exact half cent goes up.
    Money InterestOn(Money amount) const;

    // round(amount / (1 + i)), on whole numbers.
    Money DiscountedOnePeriod(Money amount) const;

    // (1 + i)^-n.
    long double Discount(int n) const;

    // a(n, i) = (1 - (1 + i)^-n) / i, n payments at the end of each period; n when i = 0.
    long double AnnuityArrears(int n) const;

private:
    Percent annual_;
    __int128 numerator_ = 0;
    __int128 denominator_ = 1;
    long double value_ = 0;  // the fraction as the annuity's powers use it
};

// round((debt - B (1 + i)^-buyoutPeriods) / annuity): the instalment that pays off `debt`
// over the periods of `annuity` and leaves the buy-out B owed `buyoutPeriods` on.
// Raises RunTimeError 6 when it leaves 64-bit cents.
Money AnnuityInstalment(Money debt, Money buyout, long double annuity, const ExactPeriodRate& rate,
                        int buyoutPeriods);

}  // namespace quotaplan
