#pragma once

#include <cstdint>

namespace quotaplan {

// Annuity primitives. Each takes 32-bit inputs, evaluates in 64 bits (the powers too) and
// rounds only its final result to 32 bits, so that results follow 32-bit precision.
// Legend: i periodic rate (0.005 = 0.5 % a period), j annual rate as a fraction,
// n number of periods (16-bit, any sign), m periods per year, c an amount.
// Every function raises RunTimeError 6 when its result lies beyond the 32-bit range and
// RunTimeError 5 when 1 + i is negative under a fractional power or zero under a negative
// one (a rate at or below -100 %).

// j = (1 + i)^n - 1: the rate over n periods compounding the periodic rate i.
float CompoundRate(float i, std::int16_t n);

// i = (1 + j)^(1/m) - 1: the periodic rate equivalent to the annual rate j under compound
// capitalisation. 1/m is formed in 64 bits and the result is returned in 64 bits: every
// caller rounds it to 32 bits at once. Raises RunTimeError 11 for m = 0.
double PeriodRate(float j, std::int16_t m);

// a(n, i) = (1 - (1 + i)^-n) / i: present value, one period before the first payment, of
// n payments of 1 at the end of each period.
// Raises RunTimeError 11 for i = 0.
float AnnuityArrears(std::int16_t n, float i);

// ä(n, i) = 1 + (1 - (1 + i)^-(n-1)) / i: present value of n payments of 1 at the start
// of each period, the first at once. Evaluated as written, not as (1 + i) * a(n, i): the
// two differ in the last bit. n - 1 is a 16-bit count.
// Raises RunTimeError 11 for i = 0 (n = 1 included: 0 / 0), RunTimeError 6 when n - 1
// leaves the 16-bit range.
float AnnuityAdvance(std::int16_t n, float i);

// s(n, i) = ((1 + i)^n - 1) / i: value at the last payment of n payments of 1 at the end
// of each period.
// Raises RunTimeError 11 for i = 0.
float AccumulationFactor(std::int16_t n, float i);

// PV = c * (1 + i)^-n: the amount c due n periods later, discounted to now.
float PresentValue(float c, std::int16_t n, float i);

// The periodic rate of the annual rate j: compound (1 + j)^(1/m) - 1, rounded to 32 bits;
// simple j / m. Raises RunTimeError 11 for m = 0.
float PeriodicRateOf(float j, std::int16_t m, bool compound);

}  // namespace quotaplan
