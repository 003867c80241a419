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

constexpr std::chrono::sys_days kSerialOrigin =
    std::chrono::sys_days{std::chrono::year{1899} / std::chrono::December / std::chrono::day{30}};

// Plans step one date a row, so the conversions are done here directly, once each, rather
// than through CalendarDate's separate Year, Month and Day.
std::chrono::year_month_day ToYmd(CalendarDate date) {
    return std::chrono::year_month_day{kSerialOrigin + std::chrono::days{date.Serial()}};
}

CalendarDate FromValidYmd(long long y, int m, int d) {
    using namespace std::chrono;
    const sys_days dayNumber{year{static_cast<int>(y)} / month{unsigned(m)} / day{unsigned(d)}};
    return CalendarDate::FromSerial(static_cast<std::int32_t>((dayNumber - kSerialOrigin).count()));
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
    // Days up to 27 exist in every month and later ones become the month's last day, so
    // the date is always valid and needs no carrying.
    if (day > 27) day = EndOfMonthDay(month);
    return FromValidYmd(year, month, day);
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

CalendarDate DefaultFirstDate(CalendarDate contractDate, std::int16_t periodsPerYear) {
    return NextDueDate(contractDate, periodsPerYear);
}

bool FirstDateNotAfterContract(const InstalmentCalendar& calendar) {
    return calendar.timing == PaymentTiming::Arrears &&
           calendar.firstDate <= calendar.contractDate;
}

std::vector<CalendarDate> InstalmentDueDates(const InstalmentCalendar& calendar) {
    std::vector<CalendarDate> dates;
    if (calendar.count < 1) return dates;
    dates.reserve(static_cast<std::size_t>(calendar.count));
    if (calendar.timing == PaymentTiming::Advance) {
        dates.push_back(calendar.contractDate);
        if (calendar.count > 1) dates.push_back(calendar.firstDate);
    } else {
        dates.push_back(calendar.firstDate);
    }
    while (dates.size() < static_cast<std::size_t>(calendar.count)) {
        dates.push_back(NextDueDate(dates.back(), calendar.periodsPerYear));
    }
    return dates;
}

CalendarDate BuyoutDueDate(CalendarDate lastDue, std::int16_t m, BuyoutDue due) {
    return due == BuyoutDue::AtLastInstalment ? lastDue : NextDueDate(lastDue, m);
}

bool FallsBeforeBuyoutDue(CalendarDate date, const InstalmentCalendar& calendar, BuyoutDue due) {
    if (calendar.count < 1) return false;
    try {
        return date <
               BuyoutDueDate(InstalmentDueDates(calendar).back(), calendar.periodsPerYear, due);
    } catch (const RunTimeError&) {
        return true;
    }
}

}  // namespace quotaplan
