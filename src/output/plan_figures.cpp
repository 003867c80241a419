#include "output/plan_figures.h"

#include "common/number_text.h"
#include "output/event_heading.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;  // "#,##0.00"

Money FeeOf(const std::string& text) { return ReadMoney(text).value_or(Money()); }

std::string AmountText(Money amount) { return FormatNumber(amount.Units(), kAmount); }

}  // namespace

PlanTotals PlanTotalsOf(const FinancialPlan& plan, const PlanFigures& figures) {
    return PlanTotalsOf(plan, FeeOf(figures.contractFees), FeeOf(figures.instalmentFee));
}

std::vector<std::pair<std::string, std::string>> PlanFigureLines(const PlanFigures& figures,
                                                                 const FinancialPlan& plan) {
    std::vector<std::pair<std::string, std::string>> lines = {
        {"Rata", FormatNumber(figures.instalment, kAmount)},
        {"Spese contratto", FormatNumber(figures.contractFees, kAmount)},
        {"Spese rata", FormatNumber(figures.instalmentFee, kAmount)},
    };
    if (!figures.taeg.empty()) {
        lines.emplace_back("TAEG", figures.usuryVerdict.empty()
                                       ? figures.taeg
                                       : figures.taeg + " - " + figures.usuryVerdict);
    }
    if (figures.toTheCent) lines.emplace_back("Piano al centesimo", "Sì");
    const PlanTotals totals = PlanTotalsOf(plan, figures);
    lines.emplace_back("Totale interessi", AmountText(totals.interest));
    lines.emplace_back("Totale pagato", AmountText(totals.paid));
    return lines;
}

std::vector<std::pair<std::string, std::string>> PrintedHeading(const ContractHeader& header,
                                                                const PlanFigures& figures,
                                                                const FinancialPlan& plan) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int i = 0; i < ContractHeader::kSize; ++i) {
        if (!header.labels[i].empty()) pairs.emplace_back(header.labels[i], header.values[i]);
    }
    for (auto& line : EventHeadingLines(plan)) pairs.push_back(std::move(line));
    for (auto& line : PlanFigureLines(figures, plan)) pairs.push_back(std::move(line));
    return pairs;
}

}  // namespace quotaplan
