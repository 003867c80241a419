#include "engine/payment_holiday.h"

#include <algorithm>

#include "engine/deferred_interest.h"
#include "engine/exact_period_rate.h"

namespace quotaplan {
namespace {

constexpr std::int64_t kPercentUnitsPerWhole = 1000000;

CalendarDate PeriodsOn(CalendarDate date, std::int16_t m, int periods) {
    for (int k = 0; k < periods; ++k) date = NextDueDate(date, m);
    return date;
}

Money ShareOf(Money amount, Percent share) {
    return Money::FromCents(RoundHalfUp(static_cast<__int128>(amount.Cents()) *
                                            share.TenThousandths(),
                                        kPercentUnitsPerWhole));
}

}  // namespace

std::size_t SuspendedRowAt(const CentsPlan& plan, CalendarDate date) {
    std::size_t row = 0;
    while (row < plan.rows.size() && plan.rows[row].date < date) ++row;
    if (row < plan.rows.size() && plan.rows[row].date == date &&
        plan.rows[row].kind == RowKind::Instalment) {
        return row;
    }
    return plan.rows.size();
}

Money ResidualBeforeRow(const CentsPlan& plan, std::size_t row) {
    Money residual = row == 0 ? plan.value - plan.maxi : plan.rows[row - 1].residual;
    for (const PlanEventLine& line : plan.eventLines) {
        if (line.afterRow == row) residual = line.residual;
    }
    return residual;
}

Suspension ApplySuspension(const SignedTerms& terms, const CentsPlan& plan, CalendarDate date,
                           const SuspensionOptions& options) {
    const std::size_t first = SuspendedRowAt(plan, date);
    const auto k = static_cast<std::size_t>(options.instalments);
    const std::int16_t m = terms.periodsPerYear;
    const BuyoutDue due = BuyoutDueOf(terms.timing, terms.plan);

    Suspension result{plan, {}, first};
    SuspensionFigures& figures = result.figures;
    figures.date = date;
    figures.options = options;
    figures.instalmentBefore = plan.rows[first].instalment;
    figures.lastDueBefore = plan.rows.back().date;

    CentsPlan& after = result.plan;
    const ExactPeriodRate rate(plan.rows[first].rate, m, terms.capitalisation);
    const bool whole = options.kind == SuspensionKind::Whole;
    const bool capitalise = whole && options.interest == SuspendedInterest::Capitalised;
    Money residual = ResidualBeforeRow(plan, first);
    figures.residual = residual;

    std::vector<CentsPlanRow> held;
    held.reserve(k);
    for (std::size_t j = 0; j < k; ++j) {
        CentsPlanRow row;
        row.kind = RowKind::Suspension;
        row.date = PeriodsOn(date, m, static_cast<int>(j));
        row.rate = plan.rows[first].rate;
        const Money interest = rate.InterestOn(residual);
        row.fundInterest = ShareOf(interest, options.fundShare);
        const Money owed = interest - row.fundInterest;
        figures.suspendedInterest += interest;
        figures.fundInterest += row.fundInterest;
        if (!whole) {
            row.interest = owed;
        } else if (capitalise) {
            row.interest = owed;
            row.capital = -owed;
            residual += owed;
            figures.capitalised += owed;
        } else {
            figures.deferred += owed;
        }
        row.instalment = row.capital + row.interest;
        row.residual = residual;
        held.push_back(row);
    }
    // Each row moves k periods on: to the date of the row k later, past the end one period
    // after the row before it.
    for (std::size_t r = first; r < after.rows.size(); ++r) {
        after.rows[r].date = r + k < plan.rows.size() ? plan.rows[r + k].date
                             : r == first ? PeriodsOn(plan.rows[r].date, m, static_cast<int>(k))
                                          : NextDueDate(after.rows[r - 1].date, m);
    }
    after.rows.insert(after.rows.begin() + static_cast<std::ptrdiff_t>(first), held.begin(),
                      held.end());
    if (terms.buyoutDate.IsZero()) {
        after.buyoutDate = BuyoutDueDate(after.rows.back().date, m, due);
    } else if (!(after.buyoutDate < date)) {
        // A buy-out date agreed after the holiday's start is a later due date too.
        after.buyoutDate = PeriodsOn(after.buyoutDate, m, static_cast<int>(k));
    }

    const std::size_t resumed = first + k;
    if (capitalise) {
        // The instalments left pay off the larger debt over their number, the interest an
        // earlier holiday deferred spread over them again.
        const Money deferred = TakeDeferredInterest(after.rows, resumed);
        const int left = static_cast<int>(after.rows.size() - resumed);
        const int offset = due == BuyoutDue::PeriodAfterLastInstalment ? 1 : 0;
        const ExactPeriodRate resumedRate(after.rows[resumed].rate, m, terms.capitalisation);
        const Money instalment = AnnuityInstalment(
            residual, terms.buyout, resumedRate.AnnuityArrears(left), resumedRate, left + offset);
        AmortiseRows(after.rows, resumed, residual, instalment,
                     {m, terms.capitalisation, terms.buyout, due, false});
        SpreadDeferredInterest(after.rows, resumed, deferred);
    } else if (whole) {
        SpreadDeferredInterest(after.rows, resumed, figures.deferred);
    }
    figures.instalmentAfter = after.rows[resumed].instalment;
    figures.lastDueAfter = after.rows.back().date;
    return result;
}

}  // namespace quotaplan

namespace quotaplan {

void RecoverHolidayInterest(const SignedTerms& terms, CentsPlan& plan,
                            const std::vector<ContractEvent>& events) {
    const auto periodsOn = [&](CalendarDate date) {
        std::int16_t m = terms.periodsPerYear;
        for (const ContractEvent& event : events) {
            const auto* renegotiation = std::get_if<RenegotiationOptions>(&event.options);
            if (renegotiation && renegotiation->periodsPerYear && event.date < date) {
                m = *renegotiation->periodsPerYear;
            }
        }
        return m;
    };
    const auto interestBefore = [&](std::size_t row) {
        const ExactPeriodRate rate(plan.rows[row].rate, periodsOn(plan.rows[row].date),
                                   terms.capitalisation);
        return rate.InterestOn(ResidualBeforeRow(plan, row));
    };
    std::size_t deferredFrom = plan.rows.size();
    for (const ContractEvent& event : events) {
        const auto* holiday = std::get_if<SuspensionOptions>(&event.options);
        if (holiday == nullptr) continue;
        std::size_t row = 0;
        while (row < plan.rows.size() &&
               !(plan.rows[row].date == event.date && plan.rows[row].kind == RowKind::Suspension)) {
            ++row;
        }
        const std::size_t end =
            std::min(plan.rows.size(), row + static_cast<std::size_t>(holiday->instalments));
        for (; row < end; ++row) {
            plan.rows[row].fundInterest = ShareOf(interestBefore(row), holiday->fundShare);
        }
        if (holiday->kind == SuspensionKind::Whole &&
            holiday->interest == SuspendedInterest::Deferred) {
            deferredFrom = std::min(deferredFrom, end);
        }
    }
    for (std::size_t row = deferredFrom; row < plan.rows.size(); ++row) {
        if (plan.rows[row].kind != RowKind::Instalment) continue;
        plan.rows[row].deferredInterest = plan.rows[row].interest - interestBefore(row);
    }
}

}  // namespace quotaplan
