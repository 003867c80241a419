#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/number_text.h"

namespace quotaplan {

// The one half-up rounding of exact amounts and rates: every cent of the plan to the cent,
// the TAEG's two decimals and the usury threshold's four go through these two functions.
// "Half up" is the commercial rule: an exact half goes away from zero (0,005 -> 0,01,
// -0,005 -> -0,01).

// round(numerator / denominator), exactly, for any 128-bit integers.
// Raises RunTimeError 11 for a zero denominator, 6 when the result leaves 64 bits.
std::int64_t RoundHalfUp(__int128 numerator, __int128 denominator);

// round(value * scale), exactly on value's binary digits (a long double is m * 2^e, so the
// product is the fraction m * scale / 2^-e and is rounded as such).
// Raises RunTimeError 5 for NaN, 6 for an infinite value or a result beyond 64 bits.
std::int64_t RoundHalfUpScaled(long double value, std::int64_t scale);
// RoundHalfUpScaled for a double, 0 < scale < 2^40: the same result by integer shifts alone.
std::int64_t RoundDoubleHalfUpScaled(double value, std::int64_t scale);

// An amount of money in whole cents (64-bit): the arithmetic of the plan to the cent.
// Sums and differences that leave 64 bits raise RunTimeError 6.
class Money {
public:
    constexpr Money() = default;
    static constexpr Money FromCents(std::int64_t cents) { return Money(cents); }
    // The amount in currency units rounded half up to the cent (RoundHalfUpScaled).
    static Money FromUnits(long double units) { return Money(RoundHalfUpScaled(units, 100)); }
    // The same for a double (a plan's amounts), without long double arithmetic.
    static Money FromUnits(double units) { return Money(RoundDoubleHalfUpScaled(units, 100)); }

    constexpr std::int64_t Cents() const { return cents_; }
    // The amount in currency units: the double nearest to the cents, which every
    // two-decimal formatting shows exactly (below 90,000 billion).
    double Units() const { return static_cast<double>(cents_) / 100.0; }
    constexpr bool IsZero() const { return cents_ == 0; }

    // "1234.5", "-0.07", "100": the shortest exact decimal, "." separated, at most two
    // decimals, no grouping (the calculator's JSON).
    std::string Decimal() const;

    Money operator+(Money other) const;
    Money operator-(Money other) const;
    Money operator-() const;
    Money& operator+=(Money other) { return *this = *this + other; }
    Money& operator-=(Money other) { return *this = *this - other; }
    friend constexpr auto operator<=>(Money, Money) = default;

private:
    explicit constexpr Money(std::int64_t cents) : cents_(cents) {}
    std::int64_t cents_ = 0;
};

// An annual rate in percent held exactly to four decimals (ten-thousandths of a point):
// 4 % is 40000, a TEGM of 10,58 is 105800, a threshold of 17,2250 is 172250.
class Percent {
public:
    constexpr Percent() = default;
    static constexpr Percent FromTenThousandths(std::int64_t units) { return Percent(units); }
    static constexpr Percent FromHundredths(std::int64_t hundredths) {
        return Percent(hundredths * 100);
    }
    // The percentage rounded half up to four decimals. Raises as RoundHalfUpScaled.
    static Percent FromValue(long double percent) {
        return Percent(RoundHalfUpScaled(percent, 10000));
    }

    constexpr std::int64_t TenThousandths() const { return units_; }
    // As a fraction: 4 % -> 0.04.
    long double Fraction() const { return static_cast<long double>(units_) / 1000000.0L; }
    double Value() const { return static_cast<double>(units_) / 10000.0; }
    // This rate rounded half up to `decimals` (0..4).
    Percent Rounded(int decimals) const;
    // The shortest exact decimal with "." and at most four decimals ("9.68", "17.225").
    std::string Decimal() const;

    friend constexpr auto operator<=>(Percent, Percent) = default;

private:
    explicit constexpr Percent(std::int64_t units) : units_(units) {}
    std::int64_t units_ = 0;
};

// The value a number's digits stand for, times 10^decimals, rounded half up exactly on the
// digits (2,345 -> 235 cents, whatever a binary number would make of it). nullopt when it
// leaves 64 bits.
std::optional<std::int64_t> ScaledDigits(const NumberParts& number, int decimals);

// An amount typed in a field (regional form, "1.234,56") or given to the calculator (plain
// form, "1234.56"), to the cent; nullopt when the text is no number or too large.
std::optional<Money> ReadMoney(std::string_view regionalText);
std::optional<Money> ReadPlainMoney(std::string_view plainText);

// A percentage in the regional form ("4,00"), rounded half up to four decimals.
std::optional<Percent> ReadPercent(std::string_view regionalText);

}  // namespace quotaplan
