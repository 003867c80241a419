#include "engine/prepayment.h"

#include "engine/deferred_interest.h"
#include "engine/exact_period_rate.h"
#include "engine/instalment_count.h"
#include "engine/plan_position.h"

namespace quotaplan {

Prepayment ApplyPrepayment(const SignedTerms& terms, const CentsPlan& plan, CalendarDate date,
                           const PrepaymentOptions& options) {
    const PlanPosition position = PositionAt(plan, date, terms.contractDate);
    const std::size_t paid = position.paid;
    const int leftBefore = static_cast<int>(plan.rows.size() - paid);
    const BuyoutDue due = BuyoutDueOf(terms.timing, terms.plan);
    const int offset = due == BuyoutDue::PeriodAfterLastInstalment ? 1 : 0;

    Prepayment result{plan, {}};
    CentsPlan& after = result.plan;
    PrepaymentFigures& figures = result.figures;
    figures.date = date;
    figures.effect = options.effect;
    figures.amount = options.amount;
    figures.accruedInterest =
        AccruedInterest(options.amount, position.rateInForce, position.since, date);
    figures.residualBefore = position.residual;
    figures.residualAfter = position.residual - options.amount;
    figures.instalmentBefore = plan.rows[paid].instalment;
    figures.instalmentsBefore = leftBefore;

    const ExactPeriodRate rate(plan.rows[paid].rate, terms.periodsPerYear, terms.capitalisation);
    const Money debt = figures.residualAfter;
    int left = leftBefore;
    // The interest a payment holiday deferred is spread again over the instalments left.
    const Money deferred = TakeDeferredInterest(after.rows, paid);
    Money instalment = after.rows[paid].instalment;
    if (options.effect == PrepaymentEffect::LowerInstalment) {
        instalment =
            AnnuityInstalment(debt, terms.buyout, rate.AnnuityArrears(left), rate, left + offset);
    } else {
        left = InstalmentsToPayOff({debt, instalment, terms.buyout, left, offset}, rate);
        after.rows.resize(paid + static_cast<std::size_t>(left));
    }
    AmortiseRows(after.rows, paid, debt, instalment,
                 {terms.periodsPerYear, terms.capitalisation, terms.buyout, due, false});
    SpreadDeferredInterest(after.rows, paid, deferred);
    // The buy-out line shows the capital the new last instalment leaves owed and, as interest,
    // the rest of the buy-out; a stored line may have split the two otherwise.
    after.buyoutInterest = plan.buyout + plan.buyoutInterest - terms.buyout;
    after.buyout = terms.buyout;
    after.storedBuyoutCapital.reset();
    if (left < leftBefore && !after.rows.empty()) {
        // The buy-out follows the last instalment, unless the contract gave it a date, from
        // which its interest is counted again.
        const CalendarDate buyoutDue =
            BuyoutDueDate(after.rows.back().date, terms.periodsPerYear, due);
        if (terms.buyoutDate.IsZero()) {
            after.buyoutDate = buyoutDue;
        } else if (terms.buyoutInterest == BuyoutInterest::Yes) {
            after.buyoutInterest =
                AccruedInterest(terms.buyout, after.rows.back().rate, buyoutDue, terms.buyoutDate);
        }
    }
    figures.instalmentAfter = instalment;
    figures.instalmentsAfter = left;

    PenaltyCase penalty;
    penalty.rule = options.penalty;
    penalty.base = options.amount;
    penalty.lastDueWithinAYear = plan.rows.back().date <= AddCalendarMonths(date, 12);
    penalty.indexation = terms.indexation;
    penalty.interestForgone =
        InterestOfRows(plan, paid) - InterestOfRows(after, paid) - figures.accruedInterest;
    figures.penalty = EarlyRepaymentPenalty(penalty);

    PlanEventLine line;
    line.kind = EventLineKind::Prepayment;
    line.afterRow = paid;
    line.date = date;
    line.rate = position.rateInForce;
    line.capital = options.amount;
    line.interest = figures.accruedInterest;
    line.residual = debt;
    line.penalty = figures.penalty.amount;
    after.eventLines.push_back(line);
    return result;
}

}  // namespace quotaplan
