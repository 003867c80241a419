#pragma once

#include <optional>

#include "calendar_date.h"

namespace quotaplan {

// Today's date as the program sees it: the system's local date, unless a test has fixed it.
CalendarDate Today();

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
