#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/financial_plan.h"
#include "engine/plan_lines.h"

namespace quotaplan {

// The plan as the grid shows it and the printed pages print it: six text columns.
inline constexpr int kPlanTableColumns = 6;
using PlanTableRow = std::array<std::string, kPlanTableColumns>;

// "Tipo", "Scadenza", "Importo", "Q. Capitale", "Q. Interessi", "Deb. Res.".
const std::array<std::string_view, kPlanTableColumns>& PlanTableHeadings();

// "Maxi.", "<n>° Rata", "<n>° Sospensione", "Riscatto", or an event's "Rimborso parziale",
// "Estinzione".
std::string PlanLineCaption(const PlanLine& line);

// One row: the caption, the date "dd/mm/yy", then amount paid, capital share, interest share
// and residual debt, each "#,##0.00".
PlanTableRow PlanTableRowOf(const PlanLine& line);

// The body rows in plan order (PlanLines: the maxi row when the maxi is above 0, the
// instalments, the buy-out row when the buy-out is above 0).
std::vector<PlanTableRow> PlanTableRows(const FinancialPlan& plan);

}  // namespace quotaplan
