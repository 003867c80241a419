#include "engine/payoff_statement.h"

#include <algorithm>
#include <cmath>

#include "common/run_time_error.h"
#include "engine/plan_position.h"
#include "engine/taeg.h"

namespace quotaplan {
namespace {

// The effective annual rate of the annual rate j: (1 + j/m)^m - 1 with simple
// capitalisation, j itself with compound.
long double EffectiveAnnual(Percent annual, std::int16_t m, Capitalisation capitalisation) {
    const long double j = annual.Fraction();
    if (capitalisation == Capitalisation::Compound || m < 1) return j;
    return std::expm1(m * std::log1p(j / m));
}

// The payments still due after the date, each discounted to it at x: round(sum A (1+x)^-t).
Money PresentValue(const CentsPlan& plan, std::size_t paid, CalendarDate date, long double x) {
    if (!(x > -1.0L)) throw RunTimeError::InvalidArgument();
    const long double logFactor = std::log1p(x);
    long double cents = 0;
    const auto add = [&](Money amount, CalendarDate due) {
        cents += static_cast<long double>(amount.Cents()) *
                 std::exp(-static_cast<long double>(YearsBetween(date, due)) * logFactor);
    };
    for (std::size_t k = paid; k < plan.rows.size(); ++k) {
        add(plan.rows[k].instalment, plan.rows[k].date);
    }
    add(plan.buyout + plan.buyoutInterest, plan.buyoutDate);
    return Money::FromCents(RoundHalfUpScaled(cents, 1));
}

}  // namespace

PayoffStatement ComputePayoffStatement(const SignedTerms& terms, const CentsPlan& plan,
                                       CalendarDate date, const PayoffOptions& options) {
    const PlanPosition position = PositionAt(plan, date, terms.contractDate);
    PayoffStatement statement;
    statement.date = date;
    statement.method = options.method;
    statement.rateInForce = position.rateInForce;
    statement.instalmentsPaid = static_cast<int>(position.paid);
    statement.instalmentsDue = static_cast<int>(plan.rows.size() - position.paid);
    if (options.method == PayoffMethod::Residual) {
        statement.residualCapital = position.residual;
        // Interest a payment holiday deferred to the instalments still due is owed with it.
        Money deferred;
        for (std::size_t k = position.paid; k < plan.rows.size(); ++k) {
            deferred += plan.rows[k].deferredInterest;
        }
        statement.accruedInterest =
            AccruedInterest(position.residual, position.rateInForce, position.since, date) +
            deferred;
    } else {
        const long double rate =
            options.discountRate
                ? options.discountRate->Fraction()
                : EffectiveAnnual(position.rateInForce, terms.periodsPerYear, terms.capitalisation);
        statement.discountRate = Percent::FromValue(rate * 100);
        statement.residualCapital = PresentValue(plan, position.paid, date, rate);
    }

    const Money remainingInterest = InterestOfRows(plan, position.paid);
    statement.refund =
        UpfrontCostsRefund({options.refund, terms.contractFees + options.extraCosts,
                            static_cast<int>(plan.rows.size()), statement.instalmentsPaid,
                            InterestOfRows(plan, 0), remainingInterest});
    PenaltyCase penalty;
    penalty.rule = options.penalty;
    penalty.base = statement.residualCapital - statement.refund.amount;
    penalty.wholeResidual = true;
    penalty.lastDueWithinAYear =
        !plan.rows.empty() && plan.rows.back().date <= AddCalendarMonths(date, 12);
    penalty.indexation = terms.indexation;
    penalty.interestForgone = remainingInterest - statement.accruedInterest;
    statement.penalty = EarlyRepaymentPenalty(penalty);

    statement.total = statement.residualCapital + statement.accruedInterest +
                      statement.penalty.amount - statement.refund.amount;
    return statement;
}

CentsPlan PlanAfterPayoff(const CentsPlan& plan, const PayoffStatement& statement) {
    CentsPlan after = plan;
    after.rows.resize(static_cast<std::size_t>(statement.instalmentsPaid));
    PlanEventLine line;
    line.kind = EventLineKind::Payoff;
    line.afterRow = after.rows.size();
    line.date = statement.date;
    line.rate = statement.rateInForce;
    line.capital = statement.residualCapital;
    line.interest = statement.accruedInterest;
    line.penalty = statement.penalty.amount;
    line.refund = statement.refund.amount;
    after.eventLines.push_back(line);
    // The payoff settles the buy-out with the rest of the debt.
    after.buyout = Money();
    after.buyoutInterest = Money();
    after.storedBuyoutCapital.reset();
    return after;
}

}  // namespace quotaplan
