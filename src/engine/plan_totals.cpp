#include "engine/plan_totals.h"

#include "engine/plan_lines.h"

namespace quotaplan {

PlanTotals PlanTotalsOf(const FinancialPlan& plan, Money contractFees, Money instalmentFee) {
    PlanTotals totals;
    int instalments = 0;
    for (const PlanLine& line : PlanLines(plan, DerivedLines::WhenNotZero)) {
        totals.interest += Money::FromUnits(line.interest);
        totals.paid += Money::FromUnits(line.amount);
        // An event's penalty is paid with it; the costs it refunds come back.
        totals.paid += Money::FromUnits(line.penalty) - Money::FromUnits(line.refund);
        if (line.kind == PlanLineKind::Instalment) ++instalments;
    }
    totals.paid += contractFees;
    for (int k = 0; k < instalments; ++k) totals.paid += instalmentFee;
    return totals;
}

}  // namespace quotaplan
