#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "common/calendar_date.h"
#include "engine/money.h"

namespace quotaplan {

// The plans an expert sets beside a contract's plan in a review.
enum class Recomputation {
    Accumulated,   // simple interest accumulated at maturity
    Discounted,    // present values discounted in simple interest
    Italian,       // constant capital shares ("ammortamento all'italiana")
    InterestFree,  // the capital alone (art. 1815 c.c.: a usurious contract owes no interest)
};

// The method named on the command line: "accumulated", "discounted", "italian",
// "interest-free"; nullopt for any other text.
std::optional<Recomputation> RecomputationNamed(std::string_view name);
// Its Italian caption ("Regime semplice, interessi maturati a scadenza", ...).
std::string_view RecomputationCaption(Recomputation method);

// The credit a recomputation repays: the amount financed (value less the maxi-instalment
// paid on the contract date), a buy-out left owed after the last instalment, the annual
// rate j and the due dates of the n instalments (n = dueDates.size(), m periods a year).
struct RecomputationTerms {
    Money principal;
    Money buyout;
    Percent annualRate;
    int periodsPerYear = 12;
    std::vector<CalendarDate> dueDates;
};

// One instalment of a recomputed plan. Capital, interest and residual are those of the
// Italian and interest-free plans; the two simple-interest plans give the amount alone (their
// instalment is not split between capital and interest), capital, interest and residual 0.
struct RecomputedRow {
    int number = 0;
    CalendarDate date;
    Money instalment;
    Money capital;
    Money interest;
    Money residual;
};

struct RecomputedPlan {
    Recomputation method = Recomputation::Italian;
    Money instalment;     // R; for the Italian plan the first instalment
    Money totalInterest;  // what the plan pays beyond the capital
    std::vector<RecomputedRow> rows;
};

// The constant instalment of the two simple-interest conventions, to the cent, with i = j / m
// the proportional periodic rate, C the principal, B the buy-out, n the instalments:
//   accumulated at maturity:  R = (C (1 + i n) - B) / sum_{k=1..n} (1 + i (n - k)),
//                             evaluated exactly as one fraction of integers;
//   discounted:               R = (C - B / (1 + i n)) / sum_{k=1..n} 1 / (1 + i k),
//                             in long double, then rounded.
// Rounded half up to the cent. With B = 0 these are the experts' formulas
// C (1 + j n) / sum (1 + j (n - k)) and C / sum 1 / (1 + j k).
// Raises RunTimeError 5 for no due dates, m < 1 or a negative rate; 6 beyond 64-bit cents.
Money SimpleInterestInstalment(const RecomputationTerms& terms, Recomputation convention);

// The recomputed plan by `method`:
//   Accumulated, Discounted: n rows of R (SimpleInterestInstalment) on the due dates;
//       total interest n R + B - C;
//   Italian: capital share round((C - B) / n) each period, the last one the rest; interest
//       round(residual * i) on the residual before the row, i = j / m; instalment their sum;
//   InterestFree: the Italian plan's capital shares, no interest.
// Total interest is the sum of the interest shares for the last two. Raises as
// SimpleInterestInstalment, and 5 when the buy-out exceeds the principal.
RecomputedPlan Recompute(const RecomputationTerms& terms, Recomputation method);

}  // namespace quotaplan
