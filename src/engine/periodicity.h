#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quotaplan {

// The captions of the periodicity list, in list order; list index k stands for
// kPeriodsPerYear[k] instalments a year.
inline constexpr std::array<std::string_view, 6> kPeriodicityCaptions = {
    "Mensile", "Bimestrale", "Trimestrale", "Quadrimestrale", "Semestrale", "Annuale"};
inline constexpr std::array<std::int16_t, 6> kPeriodsPerYear = {12, 6, 4, 3, 2, 1};

// Converts between a list index of the periodicity list and periods per year m.
// toListIndex false: index 1..5 -> 6, 4, 3, 2, 1; any other index (0, or -1 when nothing
// is selected) -> 12.
// toListIndex true: m 12, 6, 4, 3, 2, 1 -> 0..5; any other m -> 6, one past the list's
// end, which callers must treat as "no selection".
// Raises nothing.
std::int16_t ConvertPeriodicity(int value, bool toListIndex);

}  // namespace quotaplan
