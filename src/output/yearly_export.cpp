#include "output/yearly_export.h"

#include "common/number_text.h"
#include "output/export_file.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;  // "#,##0.00"

std::string Amount(Money amount) { return FormatNumber(amount.Units(), kAmount); }

YearFigures Sum(const std::vector<YearFigures>& years) {
    YearFigures total;
    for (const YearFigures& year : years) {
        total.capital += year.capital;
        total.interest += year.interest;
        total.fees += year.fees;
        total.paid += year.paid;
    }
    return total;
}

std::array<std::string, 5> Line(std::string label, const YearFigures& figures) {
    return {std::move(label), Amount(figures.capital), Amount(figures.interest),
            Amount(figures.fees), Amount(figures.paid)};
}

}  // namespace

std::vector<std::array<std::string, 5>> YearlyLines(const std::vector<YearFigures>& years) {
    std::vector<std::array<std::string, 5>> lines;
    if (years.empty()) return lines;
    for (const YearFigures& year : years) lines.push_back(Line(std::to_string(year.year), year));
    lines.push_back(Line("Totale", Sum(years)));
    return lines;
}

std::string YearlyTitle(const std::string& scope) { return "Prospetto annuale - " + scope; }

XlsSheet YearlySheet(const std::vector<YearFigures>& years) {
    XlsSheet sheet("Prospetto");
    int column = 0;
    for (const char* heading : kYearlyColumns) sheet.SetText(0, column++, heading);
    int row = 1;
    const auto write = [&sheet, &row](const YearFigures& figures) {
        sheet.SetNumber(row, 1, figures.capital.Units(), XlsNumberFormat::Amount);
        sheet.SetNumber(row, 2, figures.interest.Units(), XlsNumberFormat::Amount);
        sheet.SetNumber(row, 3, figures.fees.Units(), XlsNumberFormat::Amount);
        sheet.SetNumber(row, 4, figures.paid.Units(), XlsNumberFormat::Amount);
        ++row;
    };
    for (const YearFigures& year : years) {
        sheet.SetNumber(row, 0, year.year);
        write(year);
    }
    if (!years.empty()) {
        sheet.SetText(row, 0, "Totale");
        write(Sum(years));
    }
    sheet.SetColumnWidth(0, 0, XlsColumnWidth(8));
    sheet.SetColumnWidth(1, 4, XlsColumnWidth(16));
    return sheet;
}

ReportDocument YearlyReport(const std::string& scope, const std::vector<YearFigures>& years,
                            CalendarDate today) {
    ReportDocument document;
    document.title = YearlyTitle(scope);
    document.date = today;
    ReportBlock table;
    table.kind = ReportBlock::Kind::Table;
    for (const char* heading : kYearlyColumns) table.table.header.emplace_back(heading);
    for (const auto& line : YearlyLines(years)) {
        table.table.rows.emplace_back(line.begin(), line.end());
        table.table.marked.emplace_back(line.size(), false);
    }
    if (years.empty()) {
        ReportBlock none;
        none.text = "Nessun pagamento nel periodo.";
        document.blocks.push_back(std::move(none));
    } else {
        document.blocks.push_back(std::move(table));
    }
    return document;
}

ExportResult ExportYearlyXls(const std::filesystem::path& folder, const std::string& scope,
                             const std::vector<YearFigures>& years) {
    return WriteExportFile(ExportFilePath(folder, YearlyTitle(scope), ".xls"),
                           BuildXlsWorkbook(YearlySheet(years)));
}

}  // namespace quotaplan
