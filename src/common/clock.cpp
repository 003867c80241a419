#include "clock.h"

#include <ctime>

namespace quotaplan {
namespace {
std::optional<CalendarDate> fixedToday;
}

CalendarDate Today() {
    if (fixedToday) return *fixedToday;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return CalendarDate::FromYmdCarrying(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::optional<CalendarDate> FixedToday() { return fixedToday; }

ScopedToday::ScopedToday(CalendarDate fixed) : previous_(fixedToday) { fixedToday = fixed; }
ScopedToday::~ScopedToday() { fixedToday = previous_; }

}  // namespace quotaplan
