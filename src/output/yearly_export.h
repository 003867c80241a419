#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "engine/yearly_statement.h"
#include "output/export_result.h"
#include "output/review_report.h"
#include "output/xls_workbook.h"

namespace quotaplan {

// The yearly statement ("Prospetto annuale") as the window, the workbook and the PDF show it.

inline constexpr const char* kYearlyColumns[] = {"Anno", "Capitale", "Interessi", "Spese",
                                                 "Totale pagato"};

// One line a year, amounts "#,##0.00", then "Totale" with the sums of the years, to the cent;
// no line at all without years. Raises RunTimeError 6 when a sum leaves 64-bit cents.
std::vector<std::array<std::string, 5>> YearlyLines(const std::vector<YearFigures>& years);

// "Prospetto annuale - " and what it covers ("Tutto l'archivio", a financing type, a
// contract's description).
std::string YearlyTitle(const std::string& scope);

// The sheet "Prospetto": the headings, then a row a year (the year a number, the amounts
// "#,##0.00") and the "Totale" row.
XlsSheet YearlySheet(const std::vector<YearFigures>& years);

// The statement as a report: the title, dated `today`, and the table of YearlyLines.
ReportDocument YearlyReport(const std::string& scope, const std::vector<YearFigures>& years,
                            CalendarDate today);

// Writes folder/<cleaned YearlyTitle(scope)>.xls, replacing an older file (WriteExportFile).
ExportResult ExportYearlyXls(const std::filesystem::path& folder, const std::string& scope,
                             const std::vector<YearFigures>& years);

}  // namespace quotaplan
