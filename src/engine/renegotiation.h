#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/calendar_date.h"
#include "engine/cents_plan.h"
#include "engine/contract_events.h"
#include "engine/money.h"
#include "engine/taeg.h"

namespace quotaplan {

// What a renegotiation (or a surrogation) came to.
struct RenegotiationFigures {
    CalendarDate date;
    RenegotiationOptions options;
    Money residual;  // owed on the date, after its instalment: the new plan's debt
    Percent rateBefore;
    Percent rateAfter;
    Money instalmentBefore;
    Money instalmentAfter;
    int countBefore = 0;  // instalments after the date, before and after
    int countAfter = 0;
    std::int16_t periodsBefore = 12;
    std::int16_t periodsAfter = 12;
};

struct Renegotiation {
    CentsPlan plan;
    RenegotiationFigures figures;
    std::size_t keptRows = 0;
};

// The rate a renegotiation sets: (the new rate, or the reference rate) plus the new spread;
// with a new spread alone, the rate in force plus it less the contract's spread `oldSpread`;
// nullopt when neither a rate nor a spread is given (the rows keep their rates).
std::optional<Percent> RenegotiatedRate(const RenegotiationOptions& options, Percent rateInForce,
                                        Percent oldSpread);

// The number of rows a renegotiation keeps: those dated on or before `date`, when the last of
// them is dated `date` (a due date) or there are none and `date` is the contract date;
// rows.size() + 1 otherwise.
std::size_t RenegotiatedFrom(const CentsPlan& plan, CalendarDate date, CalendarDate contractDate);

// Re-derives the plan from the due date `date` on (FirstEventRefusal checks it is one): the
// rows dated on or before it stay; from the residual D then owed, n' rows (the count given,
// else the rows left, times m'/m rounded up when the periodicity changes) at m' periods a
// year (given, else `periodsInForce`), dated one period apart from the date (the rows' own
// dates when neither count nor periodicity changes), each at the renegotiated rate (or its
// own rate, the last row's beyond the plan's end), re-derived as a prepayment's are:
// R' = AnnuityInstalment(D, B, a(n', i'), n' + a), AmortiseRows; the interest still deferred
// spread over them again. The buy-out follows the new last row unless it has a date of its
// own. Raises as AmortiseRows.
Renegotiation ApplyRenegotiation(const SignedTerms& terms, const CentsPlan& plan,
                                 CalendarDate date, const RenegotiationOptions& options,
                                 std::int16_t periodsInForce);

// The TAEG of the renegotiated part of `plan`: the residual owed on `date` as drawdown, the
// rows after the `kept` first (the interest deferred on them included) and the buy-out as
// payments. Apart from ApplyRenegotiation, which re-deriving a plan does not need it for.
TaegSolution RenegotiatedTaeg(const CentsPlan& plan, std::size_t kept, CalendarDate date,
                              Money residual);

}  // namespace quotaplan
