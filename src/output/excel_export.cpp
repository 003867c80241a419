#include "output/excel_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "common/number_text.h"
#include "output/cp1252.h"
#include "output/event_heading.h"
#include "output/export_file.h"
#include "output/plan_export_rows.h"
#include "output/text_export.h"

namespace quotaplan {

namespace {

constexpr int kAmount = 1, kRate = 2;

// Amounts are stored as the spreadsheet's currency values: four decimal places.
double Currency(double value) { return std::nearbyint(value * 10000.0) / 10000.0; }

// The rate as shown with two decimals, read back as a number.
double TwoDecimalRate(float ratePercent) {
    return TryParseNumber(FormatNumber(ratePercent, kRate)).value_or(0.0);
}

// The width a column needs for its longest shown text, counted in characters. The shown
// length of an amount grows with its magnitude, so only the smallest and the largest amount
// of a column need formatting.
class ColumnFit {
public:
    void Text(int column, std::string_view utf8) {
        longest_[column] = std::max(longest_[column], DecodeUtf8(utf8).size());
    }
    void Amount(int column, double value) {
        if (!seen_[column] || value < lowest_[column]) lowest_[column] = value;
        if (!seen_[column] || value > highest_[column]) highest_[column] = value;
        seen_[column] = true;
    }
    std::uint16_t Width(int column) const {
        std::size_t longest = longest_[column];
        if (seen_[column]) {
            longest = std::max({longest, FormatNumber(lowest_[column], kAmount).size(),
                                FormatNumber(highest_[column], kAmount).size()});
        }
        return XlsColumnWidth(static_cast<double>(longest));
    }

private:
    std::array<std::size_t, 7> longest_{};
    std::array<bool, 7> seen_{};
    std::array<double, 7> lowest_{}, highest_{};
};

}  // namespace

XlsSheet ExcelPlanSheet(const ContractHeader& header, const FinancialPlan& plan) {
    constexpr int kA = 0, kB = 1, kC = 2, kD = 3, kE = 4, kF = 5, kG = 6;
    XlsSheet sheet("Foglio1");
    ColumnFit fit;
    int row = 0;
    for (int i = 0; i < ContractHeader::kSize; ++i) {
        if (header.labels[i].empty()) continue;
        sheet.SetText(row, kA, header.labels[i]);
        sheet.SetText(row, kC, header.values[i]);
        ++row;
    }
    for (const auto& [label, value] : EventHeadingLines(plan)) {
        sheet.SetText(row, kA, label);
        sheet.SetText(row, kC, value);
        ++row;
    }
    ++row;  // one empty row before the plan
    const std::array<const char*, 7> headings = {"Tipo",     "Data",     "Tasso",    "Importo",
                                                 "Capitale", "Deb.Res.", "Interessi"};
    for (int column = 0; column < 7; ++column) {
        sheet.SetText(row, column, headings[column]);
        fit.Text(column, headings[column]);
    }
    ++row;
    for (const ExportRow& line : PlanRowsForExport(plan)) {
        sheet.SetText(row, kA, ExportRowCaption(line));
        sheet.SetDate(row, kB, line.date);
        if (line.kind != ExportRowKind::Maxi && line.kind != ExportRowKind::Buyout) {
            sheet.SetNumber(row, kC, TwoDecimalRate(line.ratePercent), XlsNumberFormat::Rate);
        } else {
            sheet.SetNumber(row, kC, 0);
        }
        const double amounts[] = {Currency(line.amount), Currency(line.capital),
                                  Currency(line.residual), Currency(line.interest)};
        for (int k = 0; k < 4; ++k) {
            sheet.SetNumber(row, kD + k, amounts[k], XlsNumberFormat::Amount);
            fit.Amount(kD + k, amounts[k]);
        }
        ++row;
    }
    sheet.SetColumnWidth(kA, kB, XlsColumnWidth(10));
    for (int column : {kD, kE, kF, kG}) sheet.SetColumnWidth(column, column, fit.Width(column));
    return sheet;
}

ExportResult ExportExcel(const std::filesystem::path& folder, std::string description,
                         const ContractHeader& header, const FinancialPlan& plan) {
    if (!plan.PlanReady) return NoPlanResult();
    const std::filesystem::path file = ExportFilePath(folder, std::move(description), ".xls");
    std::string bytes;
    try {
        bytes = BuildXlsWorkbook(ExcelPlanSheet(header, plan));
    } catch (const std::out_of_range&) {
        return ExportResult{ExportCode::WriteError,
                            "Il piano ha troppe righe per un foglio di Excel: " + file.string(),
                            file};
    }
    return WriteExportFile(file, bytes);
}

}  // namespace quotaplan
