#include "data/stored_plan.h"

#include "engine/plan_lines.h"

namespace quotaplan {

FinancialPlan StoredPlanOf(const std::vector<StoredPlanRow>& rows) {
    std::vector<PlanLine> lines;
    lines.reserve(rows.size());
    for (const StoredPlanRow& row : rows) {
        const auto kind = PlanLineKindOfTipo(row.Tipo);
        if (!kind) continue;
        PlanLine line;
        line.kind = *kind;
        line.date = row.Data;
        line.ratePercent = static_cast<float>(row.Tasso);
        line.stored = row.Importo;
        line.interest = row.QInteressi;
        line.capital = row.QCapitale;
        line.residual = row.DebitoRes;
        lines.push_back(line);
    }
    CentsPlan cents = PlanOfLines(lines);
    FinancialPlan plan;
    if (cents.rows.empty()) return plan;
    // The rate as stored, to the hundredth of a percent it was written with.
    for (std::size_t k = 0, row = 0; k < rows.size() && row < cents.rows.size(); ++k) {
        if (rows[k].Tipo == "Rata" || rows[k].Tipo == "Sospensione") cents.rows[row++].rate = Percent::FromValue(rows[k].Tasso);
    }
    SetPlanToTheCent(plan, std::move(cents));
    return plan;
}

}  // namespace quotaplan
