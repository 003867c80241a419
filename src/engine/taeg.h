#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "engine/money.h"

namespace quotaplan {

// One dated cash flow of a credit: a drawdown (money to the customer) is positive, a
// payment (instalment, fee, buy-out) negative.
struct DatedFlow {
    CalendarDate date;
    Money amount;
};

// The time from `from` to `to` in years, as the consumer-credit directives count it: the
// whole months from `from` (each 1/12; the same day each month, the month's last day where
// a month is shorter, and throughout when `from` is a month's last day), then the days left
// over the days of the year that ends on `to` (365, or 366 when it holds a 29 February).
// 15/01 -> 15/03 is 2/12; 31/01 -> 30/04 is 3/12; 28/01/2007 -> 31/03/2007 is 2/12 + 3/365.
// `to` before `from` gives minus the time from `to` to `from`. Raises nothing for dates of
// the years 2..9999.
double YearsBetween(CalendarDate from, CalendarDate to);

// The TAEG (Directive 2008/48/EC, Annex I; also 2014/17/EU): the annual rate X at which
//
//   sum over all flows of  A_k (1 + X)^-t_k  =  0
//
// A_k the signed amounts, t_k = YearsBetween(earliest flow date, date of flow k). Solved on
// y = ln(1 + X) by Newton's method from 0 (a loan, drawdowns before payments, has exactly
// one root, which the steps reach from below); where that does not settle, a bracket is
// searched from 0 outward, first the way a Newton step from 0 points, and Newton's method
// is kept inside it (a step that would leave it is a bisection). To about 1e-12.
// Returns X as a fraction, or nullopt when no rate between -99.99 % and 10^7 % makes the
// sum zero (for instance: no drawdown, no payment, or payments that never repay). Zero
// amounts are ignored. Raises nothing.
std::optional<double> SolveTaeg(const std::vector<DatedFlow>& flows);

// The TAEG as shown: the percentage rounded half up to two decimals (0.096818 -> 9,68).
Percent TaegPercent(double rate);

// The TAEG as the window's field and the printed page show it: "9,68%"; "" when no rate
// fits the flows.
std::string TaegText(const std::optional<double>& rate);

}  // namespace quotaplan
