#pragma once

namespace quotaplan {

// Order of the day, month and year fields in a date text.
enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

// The regional conventions every number and date text of the program follows. The program
// always runs with the Italian ones; formatting and reading take them from here rather than
// from literals of their own.
struct RegionalSettings {
    char decimalSeparator = ',';
    char groupSeparator = '.';
    char dateSeparator = '/';
    DateOrder dateOrder = DateOrder::DayMonthYear;
    // A two-digit year lands in the window that starts this many years before the current
    // year and spans a century (so it ends 49 years after it).
    int twoDigitYearYearsBefore = 50;
};

// The program's one settings object (Italian conventions).
const RegionalSettings& Regional();

}  // namespace quotaplan
