#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/money.h"
#include "output/export_result.h"
#include "output/xls_workbook.h"

namespace quotaplan {

// One line of a portfolio check as its results grid shows it: the line of the file, the
// contract, its instalment and TAEG, the usury threshold it was judged by and the verdict,
// or why the line could not be priced.
struct PortfolioRow {
    int line = 0;
    std::string description;
    std::optional<Money> instalment;
    std::optional<Percent> taeg;
    std::optional<Percent> threshold;
    bool over = false;    // the TAEG above the threshold
    std::string message;  // the Italian refusal of a line that failed; empty otherwise
};

// The grid's columns, in order.
inline constexpr const char* kPortfolioColumns[] = {"Riga",   "Descrizione", "Rata",
                                                    "TAEG %", "Soglia %",    "Esito"};

// The verdict column: "Oltre la soglia d'usura", "Entro la soglia d'usura", empty without
// a threshold, or the message of a failed line.
std::string PortfolioVerdict(const PortfolioRow& row);

// The sheet "Verifica": the column headings, then one row a line: the line number, the
// description, the instalment "#,##0.00", the TAEG "0.00", the threshold as a plain number
// (its four decimals), the verdict.
XlsSheet PortfolioSheet(const std::vector<PortfolioRow>& rows);

// Writes folder/"Verifica portafoglio.xls", replacing an older file (WriteExportFile's
// result); WriteError when the rows pass the format's 65,536.
ExportResult ExportPortfolio(const std::filesystem::path& folder,
                             const std::vector<PortfolioRow>& rows);

}  // namespace quotaplan
