#include "engine/due_dates.h"

#include <chrono>

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

constexpr long long kFirstYear = 100;
constexpr long long kLastYear = 9999;

void RequireYearInRange(long long year) {
    if (year < kFirstYear || year > kLastYear) throw RunTimeError::InvalidArgument();
}

int EndOfMonthDay(int month) {
    // February is 28 on purpose, in leap years too: an end-of-month plan never falls on
    // the 29th of February.
    static constexpr int kLastDay[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kLastDay[month - 1];
}

// One conversion from the serial instead of three (Year, Month, Day): a 32,767-row plan
// steps its dates once a row.
std::chrono::year_month_day ToYmd(CalendarDate date) {
    using namespace std::chrono;
    constexpr sys_days kSerialOrigin = sys_days{year{1899} / December / day{30}};
    return year_month_day{kSerialOrigin + days{date.Serial()}};
}

}  // namespace

CalendarDate AddMonths(CalendarDate date, int k) {
    const auto ymd = ToYmd(date);
    const long long monthIndex = static_cast<long long>(int(ymd.year())) * 12 +
                                 (static_cast<int>(unsigned(ymd.month())) - 1) + k;
    const long long year = monthIndex >= 0 ? monthIndex / 12 : -((11 - monthIndex) / 12);
    RequireYearInRange(year);
    const int month = static_cast<int>(monthIndex - year * 12) + 1;
    int day = static_cast<int>(unsigned(ymd.day()));
    if (day > 27) day = EndOfMonthDay(month);
    return CalendarDate::FromYmdCarrying(static_cast<int>(year), month, day);
}

CalendarDate AddYears(CalendarDate date, int k) {
    const auto ymd = ToYmd(date);
    const long long year = static_cast<long long>(int(ymd.year())) + k;
    RequireYearInRange(year);
    return CalendarDate::FromYmdCarrying(static_cast<int>(year), int(unsigned(ymd.month())),
                                         int(unsigned(ymd.day())));
}

CalendarDate NextDueDate(CalendarDate date, std::int16_t m) {
    switch (m) {
        case 12:
            return AddMonths(date, 1);
        case 6:
            return AddMonths(date, 2);
        case 4:
            return AddMonths(date, 3);
        case 3:
            return AddMonths(date, 4);
        case 2:
            return AddMonths(date, 6);
        case 1:
            return AddYears(date, 1);
        default:
            return date;
    }
}

}  // namespace quotaplan
