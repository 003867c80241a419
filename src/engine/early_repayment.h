#pragma once

#include <string>

#include "engine/contract_events.h"
#include "engine/money.h"

namespace quotaplan {

// The two charges of an early repayment beside capital and interest: the lender's penalty,
// and the refund of the up-front costs that the repayment leaves unearned.

// Why the consumer penalty is not charged although the rule is "consumatore".
enum class PenaltyWaiver {
    None,
    SmallPayoff,   // the whole residual repaid, and it is at most 10.000 euro
    VariableRate,  // the rate follows a reference rate
};

// What the penalty is worked out on.
struct PenaltyCase {
    PenaltyRule rule;
    Money base;                       // the capital repaid early
    bool wholeResidual = false;       // the repayment settles the whole debt (a payoff)
    bool lastDueWithinAYear = false;  // the last due date on or before the date plus a year
    RateIndexation indexation = RateIndexation::Fixed;
    Money interestForgone;  // the interest the repaid capital would have borne to the end
};

struct PenaltyOutcome {
    PenaltyRule rule;
    Percent appliedPercent;  // the percentage charged; 0 when none
    Money base;
    Money cap;  // consumer: interestForgone, which the penalty never exceeds
    bool capped = false;
    PenaltyWaiver waiver = PenaltyWaiver::None;
    Money amount;
};

// The penalty on an early repayment of `base`:
//   "nessuna", "mutuo casa/attività" (art. 120-ter TUB): 0;
//   "contrattuale":  round(base * p), p the agreed percentage;
//   "consumatore" (art. 125-sexies TUB): 0 for a contract whose rate is indexed, and 0 when
//       the repayment settles the whole debt and base is at most 10.000,00; otherwise
//       round(base * 1 %), or 0,5 % when the last due date is within a year, but never more
//       than the interest forgone: min(that, interestForgone).
// round() is half up to the cent. A negative base counts as 0. Raises nothing.
PenaltyOutcome EarlyRepaymentPenalty(const PenaltyCase& penaltyCase);

// The rule and how it applied, in Italian, as the statement shows it: "consumatore 1% di
// 11.759,27", "consumatore 1% di 1.250,00, limitata agli interessi residui 8,40",
// "consumatore: nessuna penale, rimborso non oltre 10.000,00", "consumatore: nessuna penale,
// tasso variabile", "mutuo casa/attività: nessuna penale", "contrattuale 2% di 5.000,00",
// "nessuna".
std::string PenaltyOutcomeText(const PenaltyOutcome& outcome);

// What the refund of the up-front costs is worked out on: the plan's n instalments, of which
// k are paid, and its interest.
struct RefundCase {
    RefundCriterion criterion = RefundCriterion::InterestCurve;
    Money costs;
    int instalments = 0;      // n
    int paid = 0;             // k
    Money totalInterest;      // the interest of instalments 1..n
    Money remainingInterest;  // the interest of instalments k+1..n
};

struct RefundOutcome {
    RefundCriterion criterion = RefundCriterion::InterestCurve;  // as applied
    RefundCase basis;
    Money amount;
};

// The refund of the up-front costs on a payoff:
//   pro rata temporis:  round(costs * (n - k) / n);
//   interest curve:     round(costs * remainingInterest / totalInterest).
// A plan without interest (totalInterest 0) refunds pro rata, and says so in `criterion`;
// no instalments, or no costs, refund 0. Raises RunTimeError 6 beyond 64-bit cents.
RefundOutcome UpfrontCostsRefund(const RefundCase& refundCase);

// The criterion and its shares in Italian: "curva degli interessi: 1.864,02 su 3.515,90",
// "pro rata temporis: 60 rate su 84", or "nessun costo da rimborsare".
std::string RefundOutcomeText(const RefundOutcome& outcome);

}  // namespace quotaplan
