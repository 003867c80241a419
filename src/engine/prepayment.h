#pragma once

#include "common/calendar_date.h"
#include "engine/cents_plan.h"
#include "engine/contract_events.h"
#include "engine/early_repayment.h"
#include "engine/money.h"

namespace quotaplan {

// What a partial prepayment came to.
struct PrepaymentFigures {
    CalendarDate date;
    PrepaymentEffect effect = PrepaymentEffect::LowerInstalment;
    Money amount;           // A
    Money accruedInterest;  // on A, from the last due date to the date (0 on a due date)
    PenaltyOutcome penalty;
    Money residualBefore;       // owed on the date before A
    Money residualAfter;        // owed after A
    Money instalmentBefore;     // the instalment in force before
    Money instalmentAfter;      // the instalment in force after
    int instalmentsBefore = 0;  // still due after the date, before
    int instalmentsAfter = 0;   // and after
};

struct Prepayment {
    CentsPlan plan;  // the plan after it
    PrepaymentFigures figures;
};

// A partial prepayment of A on `date` (within the plan, A above 0 and below the residual,
// at least one instalment left after the date: FirstEventRefusal checks it). The k
// instalments due on or before the date stay as they were; a prepayment line follows them
// (capital A, interest accrued on A since the last due date, simple days/365, the residual
// D = residual - A); the n_rem instalments after the date keep their dates and rates and are
// re-derived from D at the period rate i of the next instalment:
//   LowerInstalment: R' = AnnuityInstalment(D, B, a(n_rem, i), n_rem + a);
//   ShortenTerm:     R stays; n' = the smallest whole number with
//                    R a(n', i) + B (1 + i)^-(n' + a) >= D - 0,005 (half a cent, so that an
//                    exact fit does not leave a last instalment of a cent: InstalmentsToPayOff),
//                    and the rows after the n'-th are dropped; the buy-out, without a date of its
//                    own, follows the new last instalment (with a date, its interest is counted
//                    again from the new due date);
// both amortised by AmortiseRows (the last instalment absorbs the rest, to the cent; rate
// changes further on re-amortise as in the plan). Seen from a due date whose instalment is
// paid, the instalments left fall due at the end of each period, in advance too; a = 1 when
// the buy-out falls a period after the last instalment, else 0. B the buy-out.
// penalty = EarlyRepaymentPenalty(base A, not the whole residual, last due date within a
// year, interest forgone = the interest of the rows after the date before, less after, less
// the interest accrued). Raises RunTimeError 6 beyond 64-bit cents.
Prepayment ApplyPrepayment(const SignedTerms& terms, const CentsPlan& plan, CalendarDate date,
                           const PrepaymentOptions& options);

}  // namespace quotaplan
