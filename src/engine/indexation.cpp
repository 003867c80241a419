#include "engine/indexation.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "common/number_text.h"
#include "common/run_time_error.h"

namespace quotaplan {
namespace {

constexpr double kMillionths = 1e6;
constexpr double kLargestPercent = 1e9;

// A percentage as a whole number of millionths of a point: exact for every value written
// with up to six decimals, whatever binary noise its double carries.
std::int64_t Millionths(double percent) {
    if (!std::isfinite(percent) || std::fabs(percent) > kLargestPercent) {
        throw RunTimeError::Overflow();
    }
    return std::llround(percent * kMillionths);
}

// Millionths of a point to hundredths, halves away from zero.
std::int64_t Hundredths(std::int64_t millionths) {
    constexpr std::int64_t kStep = 10'000;
    std::int64_t quotient = millionths / kStep;
    const std::int64_t remainder = millionths % kStep;
    if (2 * std::abs(remainder) >= kStep) quotient += millionths < 0 ? -1 : 1;
    return quotient;
}

}  // namespace

std::variant<IndexedRates, IndexGap> IndexRates(const std::vector<IndexValue>& series,
                                                const IndexedContract& contract) {
    const CalendarDate contractDate = contract.calendar.contractDate;
    const auto earlier = [](const IndexValue& a, const IndexValue& b) { return a.date < b.date; };
    // The archive hands its series in date order; only another order is copied and sorted.
    std::vector<IndexValue> sorted;
    if (!std::is_sorted(series.begin(), series.end(), earlier)) {
        sorted = series;
        std::stable_sort(sorted.begin(), sorted.end(), earlier);
    }
    const std::vector<IndexValue>& byDate = sorted.empty() ? series : sorted;
    if (byDate.empty() || byDate.front().date > contractDate) {
        return IndexGap{contractDate, byDate.empty() ? CalendarDate() : byDate.front().date};
    }

    const std::int64_t spread = Millionths(contract.spreadPercent);
    // The value in force on a day: the last of the values dated on or before it.
    const auto inForceOn = [&byDate](CalendarDate day) {
        const auto after = std::upper_bound(
            byDate.begin(), byDate.end(), day,
            [](CalendarDate d, const IndexValue& value) { return d < value.date; });
        return std::prev(after)->percent;
    };

    IndexedRates rates;
    rates.dueDates = InstalmentDueDates(contract.calendar);
    rates.rateHundredths.reserve(rates.dueDates.size());
    CalendarDate periodStart = contractDate;
    for (const CalendarDate due : rates.dueDates) {
        rates.rateHundredths.push_back(Hundredths(Millionths(inForceOn(periodStart)) + spread));
        periodStart = due;
    }
    if (!rates.rateHundredths.empty()) {
        rates.firstIndexHundredths = rates.rateHundredths.front() - Hundredths(spread);
    }
    return rates;
}

bool IsFixedRateName(std::string_view referenceName) {
    constexpr std::string_view kFixed = "fisso";
    while (!referenceName.empty() && referenceName.front() == ' ') referenceName.remove_prefix(1);
    while (!referenceName.empty() && referenceName.back() == ' ') referenceName.remove_suffix(1);
    return std::equal(
        referenceName.begin(), referenceName.end(), kFixed.begin(), kFixed.end(),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

std::string IndexGapMessage(std::string_view referenceName, const IndexGap& gap) {
    const std::string named = "Il tasso di riferimento \"" + std::string(referenceName) + "\"";
    if (gap.firstValueDate.IsZero()) return named + " non ha valori.";
    return named + " non ha valori in vigore al " + FormatDate(gap.periodStart, 2) +
           ": il primo è del " + FormatDate(gap.firstValueDate, 2) + ".";
}

}  // namespace quotaplan
