#pragma once

#include <filesystem>
#include <string>

#include "common/calendar_date.h"
#include "engine/financial_plan.h"
#include "output/contract_header.h"
#include "output/export_result.h"

namespace quotaplan {

// The PDF of a plan, A4 in the printed layout: page 1 opens with the heading block (each
// pair with a label: label, then value), then the plan's table as the grid shows it, with
// the page head of the printed plan on every page (the title PrintTitle(description), the
// date and, when `taeg` is not empty, "TAEG " and `taeg` as TaegText gives it) and the
// header row repeated; the chart (DrawPlanChart) on a last page of its own, in landscape,
// headed the same. The text is real text, which a reader can select and copy. Needs
// ChartsCanBeDrawn() for the chart; without it the last page has only its head.
std::string PlanPdfBytes(const std::string& description, const ContractHeader& header,
                         const FinancialPlan& plan, const std::string& taeg, CalendarDate today);

// Writes folder/<cleaned description>.pdf dated Today(), replacing an older file
// (WriteExportFile). NoPlan while the plan is not ready; WriteError "Impossibile disegnare
// il grafico del file <file>" when no chart can be drawn in this process.
ExportResult ExportPdf(const std::filesystem::path& folder, std::string description,
                       const ContractHeader& header, const FinancialPlan& plan,
                       const std::string& taeg);

}  // namespace quotaplan
