#include "calendar_date.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

using std::chrono::day;
using std::chrono::days;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

constexpr sys_days kSerialOrigin = sys_days{year{1899} / month{12} / day{30}};

year_month_day ToYmd(std::int32_t serial) { return year_month_day{kSerialOrigin + days{serial}}; }

}  // namespace

CalendarDate CalendarDate::FromYmdCarrying(int y, int m, int d) {
    // Carry whole years out of the month first, then let the day run on from day 1.
    int monthIndex = m - 1;
    y += monthIndex >= 0 ? monthIndex / 12 : -((11 - monthIndex) / 12);
    monthIndex = ((monthIndex % 12) + 12) % 12;
    const sys_days first = sys_days{year{y} / month{unsigned(monthIndex + 1)} / day{1}};
    return CalendarDate(static_cast<std::int32_t>((first + days{d - 1} - kSerialOrigin).count()));
}

std::optional<CalendarDate> CalendarDate::FromYmd(int y, int m, int d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) {
        return std::nullopt;
    }
    return FromYmdCarrying(y, m, d);
}

std::optional<CalendarDate> CalendarDate::FromIso(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int k = 0; k < lengths[p]; ++k) {
            const char c = text[starts[p] + k];
            if (c < '0' || c > '9') return std::nullopt;
            parts[p] = parts[p] * 10 + (c - '0');
        }
    }
    return FromYmd(parts[0], parts[1], parts[2]);
}

CalendarDate::Parts CalendarDate::ToParts() const {
    const year_month_day ymd = ToYmd(serial_);
    return {int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))};
}

int CalendarDate::Year() const { return int(ToYmd(serial_).year()); }
int CalendarDate::Month() const { return int(unsigned(ToYmd(serial_).month())); }
int CalendarDate::Day() const { return int(unsigned(ToYmd(serial_).day())); }

std::string CalendarDate::Iso() const {
    const auto ymd = ToYmd(serial_);
    const int y = int(ymd.year());
    const int m = int(unsigned(ymd.month()));
    const int d = int(unsigned(ymd.day()));
    if (y < 0 || y > 9999) {
        char text[24];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
        return text;
    }
    // Digit by digit: plans write one of these for every line.
    std::string text = "0000-00-00";
    const auto put = [&text](std::size_t at, int value, int digits) {
        for (int k = digits - 1; k >= 0; --k, value /= 10) {
            text[at + static_cast<std::size_t>(k)] = static_cast<char>('0' + value % 10);
        }
    };
    put(0, y, 4);
    put(5, m, 2);
    put(8, d, 2);
    return text;
}

bool IsLeapYear(int y) { return year{y}.is_leap(); }

int DaysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

CalendarDate AddCalendarMonths(CalendarDate date, int k) {
    const year_month_day ymd = ToYmd(date.Serial());
    const long long monthIndex =
        static_cast<long long>(int(ymd.year())) * 12 + (int(unsigned(ymd.month())) - 1) + k;
    const long long y = monthIndex >= 0 ? monthIndex / 12 : -((11 - monthIndex) / 12);
    if (y < 1 || y > 9999) throw RunTimeError::InvalidArgument();
    const int m = static_cast<int>(monthIndex - y * 12) + 1;
    const int d = std::min(int(unsigned(ymd.day())), DaysInMonth(static_cast<int>(y), m));
    return CalendarDate::FromYmdCarrying(static_cast<int>(y), m, d);
}

}  // namespace quotaplan
