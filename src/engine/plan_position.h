#pragma once

#include <cstddef>

#include "common/calendar_date.h"
#include "engine/cents_plan.h"
#include "engine/money.h"

namespace quotaplan {

// Where a date falls in a plan to the cent: what has been paid and what is owed on it.
struct PlanPosition {
    std::size_t paid = 0;  // instalment rows due on or before the date: listed as paid
    Money residual;        // owed after them and after the events up to the date
    CalendarDate since;    // the last of those due dates; the contract date before the first
    Percent rateInForce;   // the annual rate of the next instalment (of the last, after it)
};

// The position of `date` in `plan`: paid = the rows dated on or before it; residual = the
// residual of the last event line that follows them, else of row `paid`, else the value less
// the maxi; since = the date of row `paid`, or contractDate when none is paid. Raises
// nothing; a plan without rows has rate 0.
PlanPosition PositionAt(const CentsPlan& plan, CalendarDate date, CalendarDate contractDate);

// Simple interest on `amount` at the annual rate from `from` to `to`, actual days over 365,
// rounded half up: round(amount * j * days / 365). 5.000,00 at 5,5 % for 72 days is 54,25.
// 0 when `to` is not after `from`. Raises RunTimeError 6 beyond 64-bit cents.
Money AccruedInterest(Money amount, Percent annualRate, CalendarDate from, CalendarDate to);

// The interest shares of rows[first..] added up (all of them for first 0).
Money InterestOfRows(const CentsPlan& plan, std::size_t first);

}  // namespace quotaplan
