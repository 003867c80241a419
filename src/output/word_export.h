#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "engine/financial_plan.h"
#include "output/contract_header.h"
#include "output/export_result.h"

namespace quotaplan {

// The texts of the bookmarks STEP0..STEP33, index j for "STEP<j>":
//   0     the cleaned description;
//   1..7  the plan's columns, one line per plan row, each line ended by CR LF:
//         1 caption, 2 rate "0.00" (empty on the maxi and buy-out lines), 3 date "dd/mm/yy",
//         4 amount, 5 capital, 6 residual debt, 7 interest ("#,##0.00");
//   8..20 the heading labels 1..13, 21..33 the heading values 1..13 (both empty for a pair
//         whose label is empty).
std::vector<std::string> WordBookmarkTexts(std::string description, const ContractHeader& header,
                                           const FinancialPlan& plan);

// The document title the Word export stores: "Tavolier: Quotaplan".
inline constexpr const char* kWordDocumentTitle = "Tavolier: Quotaplan";

// The document: the RTF template with every bookmark it has filled (a missing bookmark is
// skipped) and the title set.
std::string FillWordTemplate(std::string templateRtf, const std::vector<std::string>& texts);

// Writes folder/<cleaned description>.doc (RTF) from the template file, replacing an older
// file. NoPlan while the plan is not ready; TemplateMissing ("Il modello <template> non
// esiste: il documento non è stato creato.") or TemplateUnreadable ("Il modello <template>
// non è leggibile: il documento non è stato creato.") with nothing written; otherwise the
// result of WriteExportFile.
ExportResult ExportWord(const std::filesystem::path& templateFile,
                        const std::filesystem::path& folder, std::string description,
                        const ContractHeader& header, const FinancialPlan& plan);

}  // namespace quotaplan
