#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "engine/financial_plan.h"
#include "output/contract_header.h"
#include "output/export_result.h"
#include "output/plan_figures.h"

namespace quotaplan {

// One of the exports the calculator draws: "pdf" (the plan and its chart) or "png" (the
// chart alone), of a calculated plan; or "review", the expert review's command handed over
// whole (only the calculator without Qt asks for it, and the drawing program never gets it).
struct PictureExport {
    std::string kind;
    std::filesystem::path folder;
    std::string description;
    ContractHeader header;
    const FinancialPlan* plan = nullptr;
    PlanFigures figures;  // the calculation's figures under the heading block of the PDF
};

// Writes a PictureExport. Drawing needs Qt, and loading Qt would slow every calculation
// down several times, so only the drawing program loads it: the calculator's main hands in
// a writer that passes the command over to that program (PicturesByProgram), the drawing
// program's main one that draws (DrawnPictures).
using PictureWriter = std::function<ExportResult(const PictureExport&)>;

}  // namespace quotaplan
