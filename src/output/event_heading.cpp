#include "output/event_heading.h"

#include <algorithm>

#include "common/number_text.h"
#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;    // "#,##0.00"
constexpr int kLongDate = 2;  // "dd/mm/yyyy"

std::string Amount(Money amount) { return FormatNumber(amount.Units(), kAmount); }

// The date a heading label ends with ("... del 15/01/2028").
CalendarDate DateOf(const std::string& label) {
    const std::string text = label.substr(label.size() - 10);
    return CalendarDate::FromYmd(std::stoi(text.substr(6)), std::stoi(text.substr(3, 2)),
                                 std::stoi(text.substr(0, 2)))
        .value_or(CalendarDate());
}

}  // namespace

std::vector<std::pair<std::string, std::string>> EventHeadingLines(const FinancialPlan& plan) {
    std::vector<std::pair<std::string, std::string>> lines;
    if (!plan.toTheCent) return lines;
    for (const PlanEventLine& event : plan.toTheCent->eventLines) {
        const bool payoff = event.kind == EventLineKind::Payoff;
        std::string label =
            std::string(PlanLineTipo(payoff ? PlanLineKind::Payoff : PlanLineKind::Prepayment)) +
            " del " + FormatDate(event.date, kLongDate);
        std::string value;
        if (payoff) {
            value = Amount(event.capital + event.interest + event.penalty - event.refund) +
                    " (penale " + Amount(event.penalty) + ", rimborso costi " +
                    Amount(event.refund) + ")";
        } else {
            value = Amount(event.capital) + " (";
            if (!event.interest.IsZero()) value += "interessi " + Amount(event.interest) + ", ";
            value += "penale " + Amount(event.penalty) + ")";
        }
        lines.emplace_back(std::move(label), std::move(value));
    }
    // The payment holidays: each run of suspended rows, placed among the events by its date.
    const auto& rows = plan.toTheCent->rows;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].kind != RowKind::Suspension) continue;
        const std::size_t first = k;
        Money fund;
        for (; k < rows.size() && rows[k].kind == RowKind::Suspension; ++k) {
            fund += rows[k].fundInterest;
        }
        std::string value = std::to_string(k - first) + (k - first == 1 ? " rata" : " rate");
        if (!fund.IsZero()) value += " (interessi a carico del Fondo " + Amount(fund) + ")";
        const CalendarDate date = rows[first].date;
        const auto at = std::find_if(lines.begin(), lines.end(), [&](const auto& line) {
            return DateOf(line.first) > date;
        });
        lines.insert(at, {std::string(PlanLineTipo(PlanLineKind::Suspension)) + " dal " +
                              FormatDate(date, kLongDate),
                          std::move(value)});
    }
    return lines;
}

}  // namespace quotaplan
