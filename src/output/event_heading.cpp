#include "output/event_heading.h"

#include "common/number_text.h"
#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;    // "#,##0.00"
constexpr int kLongDate = 2;  // "dd/mm/yyyy"

std::string Amount(Money amount) { return FormatNumber(amount.Units(), kAmount); }

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
    return lines;
}

}  // namespace quotaplan
