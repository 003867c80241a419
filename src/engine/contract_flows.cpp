#include "engine/contract_flows.h"

namespace quotaplan {

std::vector<DatedFlow> ContractFlows(const ContractCosts& costs,
                                     const std::vector<PlanLine>& lines) {
    std::vector<DatedFlow> flows;
    flows.reserve(lines.size() + 3);
    const auto add = [&flows](CalendarDate date, Money amount) {
        if (!amount.IsZero()) flows.push_back({date, amount});
    };
    add(costs.contractDate, costs.value);
    add(costs.contractDate, -costs.maxi);
    add(costs.contractDate, -costs.contractFees);
    for (const PlanLine& line : lines) {
        switch (line.kind) {
            case PlanLineKind::Maxi:
                break;
            case PlanLineKind::Instalment:
                add(line.date, -(Money::FromUnits(line.amount) + costs.instalmentFee));
                break;
            case PlanLineKind::Buyout:
            case PlanLineKind::Suspension:  // a holiday's period charges no instalment fee
                add(line.date, -Money::FromUnits(line.amount));
                break;
            case PlanLineKind::Prepayment:
            case PlanLineKind::Payoff:
                // What the client paid on the day: the line, the penalty, less the refund.
                add(line.date, -(Money::FromUnits(line.amount) + Money::FromUnits(line.penalty) -
                                 Money::FromUnits(line.refund)));
                break;
        }
    }
    return flows;
}

std::vector<PlanLine> ScheduledLines(const InstalmentSchedule& schedule) {
    const std::vector<CalendarDate> dates = InstalmentDueDates(schedule.calendar);
    std::vector<PlanLine> lines;
    lines.reserve(dates.size() + 1);
    for (std::size_t k = 0; k < dates.size(); ++k) {
        PlanLine line;
        line.number = static_cast<int>(k + 1);
        line.date = dates[k];
        line.amount = line.stored = schedule.instalment.Units();
        lines.push_back(line);
    }
    if (!schedule.buyout.IsZero()) {
        PlanLine buyout;
        buyout.kind = PlanLineKind::Buyout;
        buyout.date =
            !schedule.buyoutDate.IsZero() || dates.empty()
                ? schedule.buyoutDate
                : BuyoutDueDate(dates.back(), schedule.calendar.periodsPerYear, schedule.due);
        buyout.amount = buyout.stored = buyout.capital = schedule.buyout.Units();
        lines.push_back(buyout);
    }
    return lines;
}

}  // namespace quotaplan
