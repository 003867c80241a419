#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quotaplan {

// A day of the calendar, held as the number of days since 30/12/1899, the classic
// serial date origin. Serial 0 is "the zero date": a missing date in a plan or a form.
class CalendarDate {
public:
    constexpr CalendarDate() = default;

    static constexpr CalendarDate FromSerial(std::int32_t serial) { return CalendarDate(serial); }

    // Builds a date from year, month and day with the carrying rules of a date serial:
    // month 13 is January of the next year, day 29 of a 28-day February is 1 March.
    static CalendarDate FromYmdCarrying(int year, int month, int day);

    // Builds a date only when year (1..9999), month and day name a real day.
    static std::optional<CalendarDate> FromYmd(int year, int month, int day);

    // Reads "YYYY-MM-DD" (the archive's form); nullopt on anything else.
    static std::optional<CalendarDate> FromIso(std::string_view text);

    constexpr std::int32_t Serial() const { return serial_; }
    constexpr bool IsZero() const { return serial_ == 0; }

    int Year() const;
    int Month() const;
    int Day() const;

    // Year, month and day in one conversion (Year(), Month() and Day() convert each).
    struct Parts {
        int year;
        int month;
        int day;
    };
    Parts ToParts() const;

    // "YYYY-MM-DD".
    std::string Iso() const;

    friend constexpr auto operator<=>(CalendarDate, CalendarDate) = default;
    friend constexpr std::int32_t operator-(CalendarDate a, CalendarDate b) {
        return a.serial_ - b.serial_;
    }

private:
    explicit constexpr CalendarDate(std::int32_t serial) : serial_(serial) {}
    std::int32_t serial_ = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// The same day k months later (k < 0: earlier); a day the target month lacks becomes its
// last day: 31/03/2007 - 1 month = 28/02/2007, 31/01/2008 + 1 month = 29/02/2008.
// Raises RunTimeError 5 when the result leaves the years 1..9999.
CalendarDate AddCalendarMonths(CalendarDate date, int k);

}  // namespace quotaplan
