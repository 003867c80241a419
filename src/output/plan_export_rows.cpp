#include "output/plan_export_rows.h"

#include "output/plan_table.h"

namespace quotaplan {

std::vector<ExportRow> PlanRowsForExport(const FinancialPlan& plan) {
    return PlanLines(plan, DerivedLines::WhenNotZero);
}

std::string ExportRowCaption(const ExportRow& row) { return PlanLineCaption(row); }

}  // namespace quotaplan
