#include "output/plan_export_rows.h"

namespace quotaplan {

namespace {

ExportRow FromPlanRow(ExportRowKind kind, int number, const PlanRow& row) {
    ExportRow out;
    out.kind = kind;
    out.number = number;
    out.date = row.Data;
    out.ratePercent = kind == ExportRowKind::Instalment ? row.Tasso * 100.0f : 0.0f;
    out.amount = row.QCapitale + row.QInteressi;
    out.capital = row.QCapitale;
    out.residual = row.DebitoRes;
    out.interest = row.QInteressi;
    return out;
}

}  // namespace

std::vector<ExportRow> PlanRowsForExport(const FinancialPlan& plan) {
    std::vector<ExportRow> rows;
    rows.reserve(plan.rows.size() + 2);
    if (plan.Maxicanone > 0) rows.push_back(FromPlanRow(ExportRowKind::Maxi, 0, plan.MaxiRow()));
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        rows.push_back(
            FromPlanRow(ExportRowKind::Instalment, static_cast<int>(i + 1), plan.rows[i]));
    }
    if (plan.Riscatto > 0) rows.push_back(FromPlanRow(ExportRowKind::Buyout, 0, plan.BuyoutRow()));
    return rows;
}

std::string ExportRowCaption(const ExportRow& row) {
    switch (row.kind) {
        case ExportRowKind::Maxi:
            return "Maxi.";
        case ExportRowKind::Buyout:
            return "Riscatto";
        case ExportRowKind::Instalment:
            break;
    }
    return std::to_string(row.number) + "° Rata";
}

}  // namespace quotaplan
