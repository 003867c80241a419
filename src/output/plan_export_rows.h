#pragma once

#include <string>
#include <vector>

#include "engine/financial_plan.h"
#include "engine/plan_lines.h"

namespace quotaplan {

// A line of an exported plan is a line of the plan as its readers show it: exact cents for
// a plan to the cent, the 32-bit values with their 32-bit sums for the classic plan.
using ExportRowKind = PlanLineKind;
using ExportRow = PlanLine;

// The lines of the plan in export order: the maxi row when the maxi amount is above 0, the
// instalments 1..n, the buy-out row (dated BuyoutDate()) when the buy-out is above 0.
std::vector<ExportRow> PlanRowsForExport(const FinancialPlan& plan);

// "Maxi.", "<n>° Rata" or "Riscatto".
std::string ExportRowCaption(const ExportRow& row);

}  // namespace quotaplan
