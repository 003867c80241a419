#pragma once

#include <optional>

#include "calendar_date.h"

namespace quotaplan {

// Today's date as the program sees it: the system's local date, unless a test has fixed it.
CalendarDate Today();

// The date fixed by ScopedToday, or nullopt when Today() follows the system's clock: an
// archive server then counts from its own today.
std::optional<CalendarDate> FixedToday();

// Fixes Today() while it lives, then restores what was there; for tests, and for a
// command that is told which day to count as today.
class ScopedToday {
public:
    explicit ScopedToday(CalendarDate fixed);
    ~ScopedToday();
    ScopedToday(const ScopedToday&) = delete;
    ScopedToday& operator=(const ScopedToday&) = delete;

private:
    std::optional<CalendarDate> previous_;
};

}  // namespace quotaplan
