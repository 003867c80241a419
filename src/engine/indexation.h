#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/calendar_date.h"
#include "engine/due_dates.h"

namespace quotaplan {

// One published value of a reference rate, in force from its date until the next value.
struct IndexValue {
    CalendarDate date;
    double percent = 0;  // 3.856 means 3.856 %; below zero is real (Euribor 2015-2022)
    friend bool operator==(const IndexValue&, const IndexValue&) = default;
};

// An indexed contract: its instalment calendar and the spread over the reference rate.
struct IndexedContract {
    InstalmentCalendar calendar;
    double spreadPercent = 0;
};

// The rate list of an indexed contract, one entry per instalment.
struct IndexedRates {
    std::vector<CalendarDate> dueDates;        // instalment r's due date
    std::vector<std::int64_t> rateHundredths;  // its annual rate in hundredths of a percent,
                                               // spread included (350 = 3,50 %)
    // The first rate less the spread: the nominal rate the contract starts at, so that
    // rate + spread gives the first instalment's rate exactly.
    std::int64_t firstIndexHundredths = 0;
};

// The series holds no value in force at the start of the first period.
struct IndexGap {
    CalendarDate periodStart;     // the contract date
    CalendarDate firstValueDate;  // the series' earliest date; the zero date when it is empty
};

// Turns a reference-rate series into the per-instalment rates of a contract.
//
//   start(1) = contractDate;  start(r) = D(r - 1), the previous due date (InstalmentDueDates)
//   v(r)     = the value of the latest date on or before start(r)
//   rate(r)  = round(v(r) + spread, 2)
//
// Values and spread are taken as decimals to the millionth of a point, and the sum is
// rounded once, halves away from zero as the rate fields show them (-0,125 + 1,50 = 1,38).
// Periods starting after the last value take the last value. The series may come in any
// order; of two values with the same date the later one in the list counts.
// Returns IndexGap when no value is dated on or before the contract date (an empty series
// included). Raises RunTimeError 6 for a value or spread beyond a billion percent, 5 when a
// due date passes the year 9999.
std::variant<IndexedRates, IndexGap> IndexRates(const std::vector<IndexValue>& series,
                                                const IndexedContract& contract);

// True for the reference rate "Fisso" (letter case and surrounding blanks aside): a fixed
// rate, which nothing is ever indexed on.
bool IsFixedRateName(std::string_view referenceName);

// The Italian message for a series that does not reach the contract date, naming the
// reference rate: "Il tasso di riferimento "Euribor 3 mesi" non ha valori." for an empty
// series, otherwise "... non ha valori in vigore al 15/12/2025: il primo è del 01/01/2026.".
std::string IndexGapMessage(std::string_view referenceName, const IndexGap& gap);

}  // namespace quotaplan
