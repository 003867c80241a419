#pragma once

#include <cstddef>
#include <vector>

#include "common/calendar_date.h"
#include "engine/cents_plan.h"
#include "engine/contract_events.h"
#include "engine/money.h"

namespace quotaplan {

// What a payment holiday came to.
struct SuspensionFigures {
    CalendarDate date;
    SuspensionOptions options;
    Money residual;           // owed before the first suspended instalment
    Money suspendedInterest;  // the interest of the suspended periods, the Fund's share included
    Money fundInterest;       // the Fund's share of it, not paid by the client
    Money capitalised;        // added to the residual (whole instalment, capitalised)
    Money deferred;           // spread over the instalments left (whole instalment, deferred)
    Money instalmentBefore;   // the first suspended instalment as it was
    Money instalmentAfter;    // the instalment that follows the holiday
    CalendarDate lastDueBefore;
    CalendarDate lastDueAfter;
};

struct Suspension {
    CentsPlan plan;
    SuspensionFigures figures;
    std::size_t keptRows = 0;  // rows before the first suspended one, as they were
};

// The row index of the instalment due on `date` that the holiday begins with: the first row
// after those dated before it, when that row is an instalment dated `date`; rows.size()
// otherwise. Raises nothing.
std::size_t SuspendedRowAt(const CentsPlan& plan, CalendarDate date);

// A payment holiday of k periods from row s = SuspendedRowAt(date) (FirstEventRefusal checks
// it is one). Rows before s stay; k rows of kind Suspension follow, dated from the date on one
// period apart, each at the rate of row s, then rows s.. of the plan, each moved k periods on
// (to the date of the row k later; past the end by NextDueDate), and the buy-out likewise
// when it has no date of its own. With r the residual before row s and, in each suspended period, I = round(r * i), F = round(I * fund
// share):
//   CapitalOnly:           interest I - F, capital 0, r unchanged; the rows after keep their
//                          amounts;
//   Whole, Capitalised:    interest I - F, capital -(I - F), nothing paid, r += I - F; the
//                          rows after re-derived from r over their number (AnnuityInstalment,
//                          AmortiseRows);
//   Whole, Deferred:       interest 0, capital 0, nothing paid; the sum of the I - F, with what
//                          an earlier holiday left deferred, spread over the rows after in
//                          equal parts (SpreadDeferredInterest).
// A suspended row's fundInterest is F. The interest still deferred from an earlier holiday
// stays with its rows (CapitalOnly) or is spread again over the rows after. Raises as
// AmortiseRows.
Suspension ApplySuspension(const SignedTerms& terms, const CentsPlan& plan, CalendarDate date,
                           const SuspensionOptions& options);

// The residual owed before rows[row]: after the event lines that follow row - 1, else after
// row - 1, else the value less the maxi. Raises nothing.
Money ResidualBeforeRow(const CentsPlan& plan, std::size_t row);

}  // namespace quotaplan

namespace quotaplan {

// What the archive's plan lines do not keep of the payment holidays among `events` (in the
// order recorded), put back into `plan`, its current plan read from them: each suspended
// row's Fund share, round(I * share), and each instalment's deferred interest, its interest
// less round(r * i) on the residual r before it, from the first holiday whose interest was
// deferred on. I, r and i as ApplySuspension has them, at the periodicity in force on the
// row's date. Raises as ExactPeriodRate.
void RecoverHolidayInterest(const SignedTerms& terms, CentsPlan& plan,
                            const std::vector<ContractEvent>& events);

}  // namespace quotaplan
