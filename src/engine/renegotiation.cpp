#include "engine/renegotiation.h"

#include <algorithm>

#include "engine/deferred_interest.h"
#include "engine/exact_period_rate.h"
#include "engine/payment_holiday.h"

namespace quotaplan {

std::optional<Percent> RenegotiatedRate(const RenegotiationOptions& options, Percent rateInForce,
                                        Percent oldSpread) {
    const auto base = options.rate ? options.rate : options.referenceRate;
    if (!base && !options.spread) return std::nullopt;
    const Percent spread = options.spread.value_or(base ? Percent() : oldSpread);
    const Percent from = base ? *base
                              : Percent::FromTenThousandths(rateInForce.TenThousandths() -
                                                            oldSpread.TenThousandths());
    return Percent::FromTenThousandths(from.TenThousandths() + spread.TenThousandths());
}

std::size_t RenegotiatedFrom(const CentsPlan& plan, CalendarDate date, CalendarDate contractDate) {
    std::size_t kept = 0;
    while (kept < plan.rows.size() && plan.rows[kept].date <= date) ++kept;
    const bool onDueDate = kept == 0 ? date == contractDate : plan.rows[kept - 1].date == date;
    return onDueDate ? kept : plan.rows.size() + 1;
}

Renegotiation ApplyRenegotiation(const SignedTerms& terms, const CentsPlan& plan,
                                 CalendarDate date, const RenegotiationOptions& options,
                                 std::int16_t periodsInForce) {
    const std::size_t kept = RenegotiatedFrom(plan, date, terms.contractDate);
    const BuyoutDue due = BuyoutDueOf(terms.timing, terms.plan);
    const int offset = due == BuyoutDue::PeriodAfterLastInstalment ? 1 : 0;
    const int leftBefore = static_cast<int>(plan.rows.size() - kept);
    const std::int16_t m = options.periodsPerYear.value_or(periodsInForce);

    Renegotiation result{plan, {}, kept};
    RenegotiationFigures& figures = result.figures;
    figures.date = date;
    figures.options = options;
    figures.residual = ResidualBeforeRow(plan, kept);
    figures.rateBefore = plan.rows[kept].rate;
    figures.instalmentBefore = plan.rows[kept].instalment - plan.rows[kept].deferredInterest;
    figures.countBefore = leftBefore;
    figures.periodsBefore = periodsInForce;
    figures.periodsAfter = m;

    CentsPlan& after = result.plan;
    const Money deferred = TakeDeferredInterest(after.rows, kept);
    int count = leftBefore;
    if (options.count) {
        count = *options.count;
    } else if (m != periodsInForce) {
        count = (leftBefore * m + periodsInForce - 1) / periodsInForce;
    }
    const auto rate = RenegotiatedRate(options, figures.rateBefore, terms.spread);
    const bool newDates = count != leftBefore || m != periodsInForce;
    const Percent lastRate = plan.rows.back().rate;
    after.rows.resize(kept + static_cast<std::size_t>(count));
    CalendarDate due_date = date;
    for (std::size_t r = kept; r < after.rows.size(); ++r) {
        CentsPlanRow& row = after.rows[r];
        if (newDates) {
            due_date = NextDueDate(due_date, m);
            row.date = due_date;
        }
        if (r >= plan.rows.size()) row.rate = lastRate;
        if (rate) row.rate = *rate;
        row.kind = RowKind::Instalment;
        row.fundInterest = Money();
    }
    const ExactPeriodRate newRate(after.rows[kept].rate, m, terms.capitalisation);
    const Money instalment =
        AnnuityInstalment(figures.residual, terms.buyout, newRate.AnnuityArrears(count), newRate,
                          count + offset);
    AmortiseRows(after.rows, kept, figures.residual, instalment,
                 {m, terms.capitalisation, terms.buyout, due, false});
    SpreadDeferredInterest(after.rows, kept, deferred);
    if (newDates && terms.buyoutDate.IsZero()) {
        after.buyoutDate = BuyoutDueDate(after.rows.back().date, m, due);
    }
    after.buyoutInterest = plan.buyout + plan.buyoutInterest - terms.buyout;
    after.buyout = terms.buyout;
    after.storedBuyoutCapital.reset();

    figures.rateAfter = after.rows[kept].rate;
    figures.instalmentAfter = instalment;
    figures.countAfter = count;
    return result;
}

TaegSolution RenegotiatedTaeg(const CentsPlan& plan, std::size_t kept, CalendarDate date,
                              Money residual) {
    std::vector<DatedFlow> flows;
    flows.reserve(plan.rows.size() - std::min(kept, plan.rows.size()) + 2);
    flows.push_back({date, residual});
    for (std::size_t r = kept; r < plan.rows.size(); ++r) {
        flows.push_back({plan.rows[r].date, -plan.rows[r].instalment});
    }
    const Money buyoutOwed = plan.buyout + plan.buyoutInterest;
    if (!buyoutOwed.IsZero()) flows.push_back({plan.buyoutDate, -buyoutOwed});
    return SolveTaeg(flows);
}

}  // namespace quotaplan
