#pragma once

#include <filesystem>
#include <string>

#include "engine/financial_plan.h"
#include "output/contract_header.h"
#include "output/export_result.h"
#include "output/xls_workbook.h"

namespace quotaplan {

// The worksheet of the Excel export ("Foglio1"): the heading pairs with a label in rows
// 1.. (label in A, value as text in C), one empty row, the column headings, then the plan
// rows (maxi, instalments, buy-out). Dates are date cells shown "dd/mm/yy"; the rate is the
// row's rate times 100 taken to two decimals, shown "0.00"; amounts are rounded to four
// decimals and shown "#,##0.00"; the maxi and buy-out rows carry the integer 0 as rate.
// Columns A:B are 10 characters wide, D:G as wide as their longest text.
XlsSheet ExcelPlanSheet(const ContractHeader& header, const FinancialPlan& plan);

// Writes folder/<cleaned description>.xls, replacing an older file. NoPlan while the plan
// is not ready; WriteError "Il piano ha troppe righe per un foglio di Excel: <file>" when the
// sheet would pass the format's 65,536 rows; otherwise the result of WriteExportFile.
ExportResult ExportExcel(const std::filesystem::path& folder, std::string description,
                         const ContractHeader& header, const FinancialPlan& plan);

}  // namespace quotaplan
