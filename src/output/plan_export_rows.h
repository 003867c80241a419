#pragma once

#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "engine/financial_plan.h"

namespace quotaplan {

enum class ExportRowKind { Maxi, Instalment, Buyout };

// One line of an exported plan, with the sums the exports show already taken in 32 bits.
struct ExportRow {
    ExportRowKind kind = ExportRowKind::Instalment;
    int number = 0;  // the instalment number; 0 for the maxi and buy-out rows
    CalendarDate date;
    float ratePercent = 0;  // the row's rate times 100; 0 for the maxi and buy-out rows
    float amount = 0;       // capital share plus interest share
    float capital = 0;
    float residual = 0;
    float interest = 0;
};

// The lines of the plan in export order: the maxi row when the maxi amount is above 0, the
// instalments 1..n, the buy-out row (dated BuyoutDate()) when the buy-out is above 0.
std::vector<ExportRow> PlanRowsForExport(const FinancialPlan& plan);

// "Maxi.", "<n>° Rata" or "Riscatto".
std::string ExportRowCaption(const ExportRow& row);

}  // namespace quotaplan
