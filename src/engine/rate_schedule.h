#pragma once

#include <cstdint>
#include <vector>

namespace quotaplan {

// The per-instalment annual rates handed to BuildPlan, as fractions, from the rate list's
// percentages:
//   empty list:  n entries of contractRatePercent / 100;
//   otherwise:   rates[r] = listPercents[r] / 100 for every list entry, then, when the
//                list is shorter than n, lengthened to n with its last rate.
// contractRatePercent is Tasso + Spread, added in 32 bits; every division is in 32 bits.
// A list longer than n is kept whole (the plan reads entries 1..n). n < 0 counts as 0.
// Raises nothing.
std::vector<float> RatesForPlan(const std::vector<float>& listPercents, std::int16_t n,
                                float contractRatePercent);

}  // namespace quotaplan
