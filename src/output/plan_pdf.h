#pragma once

#include <filesystem>
#include <string>

#include "common/calendar_date.h"
#include "engine/financial_plan.h"
#include "output/contract_header.h"
#include "output/export_result.h"
#include "output/plan_figures.h"

namespace quotaplan {

// The PDF of a plan, A4 in the printed layout: page 1 opens with the heading block (each
// pair with a label: label, then value) and the calculation's figures under it
// (PlanFigureLines), then the plan's table as the grid shows it, with the page head of the
// printed plan on every page (the title PrintTitle(description), the date and, when the
// figures have a TAEG, "TAEG " and the TAEG as TaegText gives it), the header row repeated
// and "Pagina k di n" at the foot; the chart (DrawPlanChart) on a last page of its own, in
// landscape, headed and numbered the same. The text is real text, which a reader can select
// and copy. Needs ChartsCanBeDrawn() for the chart; without it the last page has only its
// head.
std::string PlanPdfBytes(const std::string& description, const ContractHeader& header,
                         const FinancialPlan& plan, const PlanFigures& figures, CalendarDate today);

// Writes folder/<cleaned description>.pdf dated Today(), replacing an older file
// (WriteExportFile). NoPlan while the plan is not ready; WriteError "Impossibile disegnare
// il grafico del file <file>" when no chart can be drawn in this process.
ExportResult ExportPdf(const std::filesystem::path& folder, std::string description,
                       const ContractHeader& header, const FinancialPlan& plan,
                       const PlanFigures& figures);

}  // namespace quotaplan
