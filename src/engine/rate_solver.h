#pragma once

#include <cstdint>

namespace quotaplan {

// The financing equation tying asset value, instalment and rate:
//
//   V = M + R * F(n, i) + B * (1 + i)^-n
//
// Legend: V asset value, M maxi-instalment paid at time 0, R the constant instalment,
// n instalments, B buy-out, i periodic rate, F = AnnuityAdvance when paid in advance,
// AnnuityArrears in arrears; m periods per year, j annual rate as a fraction (turned into
// i by PeriodicRateOf, compound or simple). Results are 32-bit; every function raises the
// errors of the annuity primitives (11 for i = 0, 6 on overflow, 5 for a rate at or below
// -100 %).

// The instalment rule: R = round((V - M - B * (1 + i)^-n) / F(n, i), decimals), half to
// even. The quotient is formed in 64 bits from the 32-bit terms and stored in 32 bits
// before rounding. Raises RunTimeError 5 for decimals outside 0..12.
float InstalmentFor(float V, float M, float B, std::int16_t n, float i, std::int16_t decimals,
                    bool advance);

// g(i) = F(n, i) * R + M + B * (1 + i)^-n - V. Falls as i rises: positive when i is too low
// for the instalment R, negative when it is too high.
float ValueGap(float V, float M, float B, std::int16_t n, float R, float i, bool advance);

// V = round(F(n, i) * R + M + B * (1 + i)^-n, decimals) with i = PeriodicRateOf(j, m).
// Raises RunTimeError 11 for m = 0, 5 for decimals outside 0..12.
float AssetValue(float M, float B, std::int16_t n, std::int16_t m, float R, float j,
                 std::int16_t decimals, bool compound, bool advance);

// The annual rate j that makes g(i) = 0, by bisection on the periodic rate i:
//   bounds: compound low = PeriodRate(1e-9, m), high = PeriodRate(40, m);
//           simple   low = 1e-9 / m,            high = 40 / m   (annual 1e-9 .. 4000 %);
//   mid = low + (high - low) / 2 in 32 bits; if g(mid) > 0 at the first midpoint, no rate
//   in range fits and the result is 0 (not rounded);
//   otherwise halve (g <= 0: high = mid, else low = mid) until |g| <= 0.01, or
//   high - low <= 1e-9, or the bracket can shrink no more: in 32 bits the midpoint of two
//   neighbouring numbers is one of them, and the search then ends on that midpoint;
//   j = (1 + mid)^m - 1 compound, m * mid simple, rounded half to even to `decimals`.
// Returns j, or 0 when no rate in range fits. Raises RunTimeError 11 for m = 0, 5 for
// decimals outside 0..12, and the primitives' errors.
float SolveRate(float V, float M, float B, std::int16_t n, std::int16_t m, float R,
                std::int16_t decimals, bool compound, bool advance);

}  // namespace quotaplan
