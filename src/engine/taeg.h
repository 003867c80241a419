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

// The time from `from` to `to` in years, as Directive 2008/48/EC (Annex I, Part I, remark
// (c)) and 2014/17/EU count it: whole months counted back from `to` towards `from`, each
// 1/12 (k months back from day d lands on day min(d, last day of that month); when `from`
// and `to` are both a month's last day, every month back ends on a month's last day, so a
// month shorter than `from`'s day still counts whole), then the days left between `from`
// and where the months end, over the days of the year that ends there, counted back to
// the same day of the year before (365, or 366 when that year holds a 29 February).
// 31/01/2019 -> 01/03/2019 is 1/12 + 1/365; 31/12/2020 -> 01/03/2021 is 2/12 + 1/366;
// 31/01/2019 -> 28/02/2019 is 1/12. `to` before `from` gives minus the time from `to` to
// `from`. Raises nothing for dates of the years 2..9999.
double YearsBetween(CalendarDate from, CalendarDate to);

// Why a list of flows has no TAEG: no single rate balances it.
enum class NoTaeg {
    OneSided,    // summed day by day, the flows are all drawdowns or all payments (or none)
    EveryRate,   // summed day by day, they cancel out: every rate balances them
    OutOfRange,  // no rate from -99,99 % to 10^7 % balances them
};

// The TAEG of a list of flows, or why there is none.
struct TaegSolution {
    std::optional<double> rate;         // X as a fraction
    NoTaeg missing = NoTaeg::OneSided;  // why there is no rate; read only without one
};

// The TAEG (Directive 2008/48/EC, Annex I; also 2014/17/EU): the annual rate X at which
//
//   sum over all flows of  A_k (1 + X)^-t_k  =  0
//
// A_k the signed amounts, t_k = YearsBetween(earliest flow date, date of flow k). The flows
// of one day are summed first (in cents, exactly); when the sums are all of one sign no
// rate balances them, and when they are all zero every rate does: neither fixes a TAEG.
// Otherwise solved on y = ln(1 + X) by Newton's method from 0 (a loan, drawdowns before
// payments, has exactly one root, which the steps reach from below); where that does not
// settle, a bracket is searched from 0 outward, first the way a Newton step from 0 points,
// and Newton's method is kept inside it (a step that would leave it is a bisection). To
// about 1e-12. Rates between -99.99 % and 10^7 % are searched; outside them there is no
// TAEG (OutOfRange). Raises nothing.
TaegSolution SolveTaeg(const std::vector<DatedFlow>& flows);

// Why there is no TAEG, in Italian, as the calculator's "taeg_note", the window's tooltip and
// the flows file's refusal say it.
std::string NoTaegNote(NoTaeg missing);

// The TAEG as shown: the percentage rounded half up to two decimals (0.096818 -> 9,68).
Percent TaegPercent(double rate);

// The TAEG as the window's field and the printed page show it: "9,68%"; "n.d." when no
// rate fits the flows.
std::string TaegText(const TaegSolution& taeg);

}  // namespace quotaplan
