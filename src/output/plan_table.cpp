#include "output/plan_table.h"

#include "common/number_text.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;
constexpr int kShortDate = 1;

}  // namespace

const std::array<std::string_view, kPlanTableColumns>& PlanTableHeadings() {
    static constexpr std::array<std::string_view, kPlanTableColumns> headings = {
        "Tipo", "Scadenza", "Importo", "Q. Capitale", "Q. Interessi", "Deb. Res."};
    return headings;
}

std::string PlanLineCaption(const PlanLine& line) {
    if (line.kind == PlanLineKind::Instalment) return std::to_string(line.number) + "° Rata";
    if (line.kind == PlanLineKind::Suspension) {
        return std::to_string(line.number) + "° " + PlanLineTipo(line.kind);
    }
    return PlanLineTipo(line.kind);
}

PlanTableRow PlanTableRowOf(const PlanLine& line) {
    return {PlanLineCaption(line),
            FormatDate(line.date, kShortDate),
            FormatNumber(line.amount, kAmount),
            FormatNumber(line.capital, kAmount),
            FormatNumber(line.interest, kAmount),
            FormatNumber(line.residual, kAmount)};
}

std::vector<PlanTableRow> PlanTableRows(const FinancialPlan& plan) {
    const std::vector<PlanLine> lines = PlanLines(plan, DerivedLines::WhenNotZero);
    std::vector<PlanTableRow> rows;
    rows.reserve(lines.size());
    for (const PlanLine& line : lines) rows.push_back(PlanTableRowOf(line));
    return rows;
}

}  // namespace quotaplan
