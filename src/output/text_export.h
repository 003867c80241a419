#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "engine/financial_plan.h"
#include "output/contract_header.h"
#include "output/export_result.h"

namespace quotaplan {

// The lines of the text export (UTF-8, without line ends): "label;value" for each heading
// pair with a label, the column heading line, then the plan lines, fields joined by ";".
std::vector<std::string> TextExportLines(const ContractHeader& header, const FinancialPlan& plan);

// The file's bytes: every line in Windows-1252 ended by CR LF.
std::string TextExportBytes(const ContractHeader& header, const FinancialPlan& plan);

// Writes folder/<cleaned description>.txt, replacing an older file. NoPlan (nothing
// written, message "Nessun piano finanziario da esportare: calcolare prima la rata.") while
// the plan is not ready; otherwise the result of WriteExportFile.
ExportResult ExportText(const std::filesystem::path& folder, std::string description,
                        const ContractHeader& header, const FinancialPlan& plan);

// The NoPlan result shared by the three exports.
ExportResult NoPlanResult();

}  // namespace quotaplan
