#pragma once

#include <cstdint>
#include <vector>

#include "common/calendar_date.h"

namespace quotaplan {

// Due-date stepping. Results must fall within the years 100..9999, the range of a
// calendar date of the archive and the forms; otherwise RunTimeError 5 is raised.

// The date k months after `date`, with the end-of-month rule of instalment plans:
//   T = the month k months on; d = day of `date`;
//   when d > 27, d = the last day of month T, February counting 28 days in leap years too;
//   result = year/month + k/d, a month above 12 carrying into the next year.
// So the 28th or later is an end-of-month date: 28/01 -> 28/02 -> 31/03; days 1..27 keep.
// k is normally 1..6; any k is accepted.
CalendarDate AddMonths(CalendarDate date, int k);

// The same day and month k years later; a day that does not exist carries over
// (29/02/2008 + 1 year = 01/03/2009).
CalendarDate AddYears(CalendarDate date, int k);

// The due date one period after `date` for m periods a year: 12, 6, 4, 3, 2 step 1, 2, 3,
// 4, 6 months by AddMonths; 1 steps one year by AddYears; any other m returns `date`.
CalendarDate NextDueDate(CalendarDate date, std::int16_t m);

enum class PaymentTiming { Arrears, Advance };

// The instalments of a contract as the calendar sees them.
struct InstalmentCalendar {
    CalendarDate contractDate;  // DataContratto
    CalendarDate firstDate;     // DataInizio
    std::int16_t count = 0;     // n
    std::int16_t periodsPerYear = 12;
    PaymentTiming timing = PaymentTiming::Arrears;
};

// The due date of every instalment 1..n, as the plan builder dates its rows:
//   in arrears: D1 = firstDate,    D(r) = NextDueDate(D(r - 1));
//   in advance: D1 = contractDate, D2 = firstDate, D(r) = NextDueDate(D(r - 1)).
// Rate changes do not move them, with one exception this list does not follow: in advance,
// a change at instalment 2 makes the plan restart one period after the contract date. An empty list
// for count < 1. Raises RunTimeError 5 when a date would pass the year 9999.
std::vector<CalendarDate> InstalmentDueDates(const InstalmentCalendar& calendar);

// Where the buy-out falls when no buy-out date is given.
enum class BuyoutDue {
    AtLastInstalment,           // on the last instalment's due date
    PeriodAfterLastInstalment,  // on the due date that would follow it
};

// The buy-out's date without a buy-out date, the last instalment being due on `lastDue`:
// lastDue itself, or NextDueDate(lastDue, m). Raises RunTimeError 5 beyond the year 9999.
CalendarDate BuyoutDueDate(CalendarDate lastDue, std::int16_t m, BuyoutDue due);

// True when `date` falls before the buy-out's due date (BuyoutDueDate after the last of
// InstalmentDueDates): a buy-out there would close the contract before the plan reaches it
// and charge negative interest on the buy-out. False for count < 1; a due date beyond the
// year 9999 lies after any date.
bool FallsBeforeBuyoutDue(CalendarDate date, const InstalmentCalendar& calendar, BuyoutDue due);

// The first due date a contract takes when none is given: one period after the contract
// date, NextDueDate(contractDate, m). In advance the first instalment falls on the contract
// date itself, so this is the second one, the date the form's "Prima rata" field holds.
// Raises RunTimeError 5 past the year 9999.
CalendarDate DefaultFirstDate(CalendarDate contractDate, std::int16_t periodsPerYear);

// True when instalments in arrears start on or before the contract date: the first
// payment falls before any time has run on the loan, which no arrears contract means and
// which lifts the TAEG far above the contract's rate. False in advance.
bool FirstDateNotAfterContract(const InstalmentCalendar& calendar);

}  // namespace quotaplan
