#include "engine/plan_position.h"

#include <algorithm>

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

constexpr std::int64_t kPercentUnitsPerWhole = 1000000;
constexpr std::int64_t kDaysPerYear = 365;

}  // namespace

PlanPosition PositionAt(const CentsPlan& plan, CalendarDate date, CalendarDate contractDate) {
    PlanPosition position;
    while (position.paid < plan.rows.size() && plan.rows[position.paid].date <= date) {
        ++position.paid;
    }
    position.residual =
        position.paid == 0 ? plan.value - plan.maxi : plan.rows[position.paid - 1].residual;
    position.since = position.paid == 0 ? contractDate : plan.rows[position.paid - 1].date;
    for (const PlanEventLine& line : plan.eventLines) {
        if (line.afterRow == position.paid && line.date <= date) position.residual = line.residual;
    }
    if (!plan.rows.empty()) {
        position.rateInForce = plan.rows[std::min(position.paid, plan.rows.size() - 1)].rate;
    }
    return position;
}

Money AccruedInterest(Money amount, Percent annualRate, CalendarDate from, CalendarDate to) {
    const std::int64_t days = to - from;
    if (days <= 0) return Money();
    __int128 product = 0;
    if (__builtin_mul_overflow(static_cast<__int128>(amount.Cents()) * days,
                               static_cast<__int128>(annualRate.TenThousandths()), &product)) {
        throw RunTimeError::Overflow();
    }
    return Money::FromCents(
        RoundHalfUp(product, static_cast<__int128>(kPercentUnitsPerWhole) * kDaysPerYear));
}

Money InterestOfRows(const CentsPlan& plan, std::size_t first) {
    Money sum;
    for (std::size_t k = first; k < plan.rows.size(); ++k) sum += plan.rows[k].interest;
    return sum;
}

}  // namespace quotaplan
