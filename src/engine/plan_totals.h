#pragma once

#include "engine/financial_plan.h"
#include "engine/money.h"

namespace quotaplan {

// What a plan's lines add up to: the interest of every line (the buy-out's included) and
// everything paid: maxi-instalment, instalments, buy-out with its interest, and the fees
// (the contract's once, the instalment's on every instalment).
struct PlanTotals {
    Money interest;
    Money paid;
};

// The totals of the plan's lines as they are shown (PlanLines), each line's amounts taken to
// the cent before they are added, so that the totals are the sums of the printed columns.
PlanTotals PlanTotalsOf(const FinancialPlan& plan, Money contractFees, Money instalmentFee);

}  // namespace quotaplan
