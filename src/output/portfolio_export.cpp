#include "output/portfolio_export.h"

#include "output/export_file.h"

namespace quotaplan {

std::string PortfolioVerdict(const PortfolioRow& row) {
    if (!row.message.empty()) return row.message;
    if (!row.threshold) return {};
    return row.over ? "Oltre la soglia d'usura" : "Entro la soglia d'usura";
}

XlsSheet PortfolioSheet(const std::vector<PortfolioRow>& rows) {
    XlsSheet sheet("Verifica");
    int column = 0;
    for (const char* heading : kPortfolioColumns) sheet.SetText(0, column++, heading);
    int row = 1;
    for (const PortfolioRow& line : rows) {
        sheet.SetNumber(row, 0, line.line);
        sheet.SetText(row, 1, line.description);
        if (line.instalment)
            sheet.SetNumber(row, 2, line.instalment->Units(), XlsNumberFormat::Amount);
        if (line.taeg) sheet.SetNumber(row, 3, line.taeg->Value(), XlsNumberFormat::Rate);
        // The threshold keeps its four decimals (17,225 is not 17,23).
        if (line.threshold) sheet.SetNumber(row, 4, line.threshold->Value());
        sheet.SetText(row, 5, PortfolioVerdict(line));
        ++row;
    }
    sheet.SetColumnWidth(0, 0, XlsColumnWidth(6));
    sheet.SetColumnWidth(1, 1, XlsColumnWidth(30));
    sheet.SetColumnWidth(2, 4, XlsColumnWidth(12));
    sheet.SetColumnWidth(5, 5, XlsColumnWidth(40));
    return sheet;
}

ExportResult ExportPortfolio(const std::filesystem::path& folder,
                             const std::vector<PortfolioRow>& rows) {
    const auto file = folder / "Verifica portafoglio.xls";
    if (rows.size() + 1 > static_cast<std::size_t>(XlsSheet::kMaxRows)) {
        return {ExportCode::WriteError,
                "Il file ha troppe righe per un foglio di Excel: " + file.string(), file};
    }
    return WriteExportFile(file, BuildXlsWorkbook(PortfolioSheet(rows)));
}

}  // namespace quotaplan
