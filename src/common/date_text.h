#pragma once

#include <optional>
#include <string_view>

#include "common/calendar_date.h"

namespace quotaplan {

// Reads a date text in the regional order (day, month, year in the Italian settings):
// "dd/mm/yy", "dd/mm/yyyy", "d/m/yy" and the like, with "/", "-" or "." between the fields,
// surrounding blanks ignored; also "yyyy-mm-dd". The day must exist (31/02/2007 is no date).
// A one- or two-digit year is placed in the window from 50 years before to 49 years after
// the current year (Today()). Returns nullopt on anything else.
std::optional<CalendarDate> ReadDateText(std::string_view text);
// The same with the window placed around `today`'s year, for code that reads no clock.
std::optional<CalendarDate> ReadDateText(std::string_view text, CalendarDate today);

// True when ReadDateText reads the text.
bool IsDateText(std::string_view text);

// The four-digit year of a two-digit year in the sliding window around Today() (or the
// year given).
int ExpandTwoDigitYear(int twoDigitYear);
int ExpandTwoDigitYear(int twoDigitYear, int currentYear);

}  // namespace quotaplan
