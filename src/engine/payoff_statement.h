#pragma once

#include "common/calendar_date.h"
#include "engine/cents_plan.h"
#include "engine/contract_events.h"
#include "engine/early_repayment.h"
#include "engine/money.h"

namespace quotaplan {

// The early-payoff statement ("conteggio estintivo"): what the client owes to close the
// contract on a date, a due date or between two.
struct PayoffStatement {
    CalendarDate date;
    PayoffMethod method = PayoffMethod::Residual;
    // The annual rate the payments were discounted at (method Discount), in percent to four
    // decimals as the statement shows it; the discounting itself uses the exact rate.
    Percent discountRate;
    Percent rateInForce;      // the annual rate of the instalment running on the date
    Money residualCapital;    // Residual: the capital owed; Discount: the payments' present value
    Money accruedInterest;    // Residual: interest since the last due date; Discount: 0
    int instalmentsPaid = 0;  // due on or before the date: listed as paid
    int instalmentsDue = 0;   // falling due after the date, which the payoff replaces
    RefundOutcome refund;     // of the up-front costs
    PenaltyOutcome penalty;
    Money total;  // residualCapital + accruedInterest + penalty - refund
};

// The statement of a payoff on `date` of the contract whose current plan is `plan` (the
// signed plan with its events; the date on or after the latest of them, within the plan,
// which FirstEventRefusal checks):
//   k = the instalments due on or before the date (PositionAt), n = the plan's instalments;
//   Residual: residualCapital = the residual after row k and the events up to the date;
//       accruedInterest = AccruedInterest(residual, rate in force, last due date (the
//       contract date before the first), date): simple, days/365, for compound plans too;
//   Discount: residualCapital = round(sum of the instalments of rows k+1..n and of the
//       buy-out with its interest, each * (1 + x)^-t), t = YearsBetween(date, its date) as
//       the TAEG counts time; x = options.discountRate, else the effective annual rate of
//       the rate j in force: (1 + j/m)^m - 1 simple, j compound;
//   refund = UpfrontCostsRefund(costs = terms.contractFees + options.extraCosts, n, k, the
//       interest of rows 1..n, of rows k+1..n);
//   penalty = EarlyRepaymentPenalty(base = residualCapital - refund, the whole residual,
//       last due date within AddCalendarMonths(date, 12), the contract's indexation,
//       interest forgone = interest of rows k+1..n - accruedInterest).
// Raises RunTimeError 5 for a discount rate at or below -100 %, 6 beyond 64-bit cents.
PayoffStatement ComputePayoffStatement(const SignedTerms& terms, const CentsPlan& plan,
                                       CalendarDate date, const PayoffOptions& options);

// The plan after the payoff: rows up to k, then the payoff line (capital the residual
// capital, interest the accrued interest, residual 0, the penalty and the refund, after row
// k, rate in force); no buy-out owed any more.
CentsPlan PlanAfterPayoff(const CentsPlan& plan, const PayoffStatement& statement);

}  // namespace quotaplan
