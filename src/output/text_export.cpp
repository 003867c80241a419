#include "output/text_export.h"

#include <cmath>

#include "common/number_text.h"
#include "output/cp1252.h"
#include "output/event_heading.h"
#include "output/export_file.h"
#include "output/plan_export_rows.h"

namespace quotaplan {

namespace {

constexpr int kAmount = 1, kRate = 2;
constexpr int kSystemShortDate = 2;  // the Italian short date: "dd/mm/yyyy"

// An amount taken to four decimal places and written plainly: no grouping, no trailing
// zeros ("1234,5").
std::string PlainAmount(double value) {
    return GeneralText(std::nearbyint(value * 10000.0) / 10000.0);
}

std::string Join(std::initializer_list<std::string> fields) {
    std::string line;
    bool first = true;
    for (const std::string& field : fields) {
        if (!first) line += ';';
        first = false;
        line += field;
    }
    return line;
}

}  // namespace

ExportResult NoPlanResult() {
    return ExportResult{
        ExportCode::NoPlan, "Nessun piano finanziario da esportare: calcolare prima la rata.", {}};
}

std::vector<std::string> TextExportLines(const ContractHeader& header, const FinancialPlan& plan) {
    std::vector<std::string> lines;
    for (int i = 0; i < ContractHeader::kSize; ++i) {
        if (!header.labels[i].empty()) lines.push_back(header.labels[i] + ";" + header.values[i]);
    }
    for (const auto& [label, value] : EventHeadingLines(plan)) lines.push_back(label + ";" + value);
    lines.push_back("Tipo;Data;Tasso;Importo;Capitale;Deb.Res.;Interessi");
    for (const ExportRow& row : PlanRowsForExport(plan)) {
        const std::string date = FormatDate(row.date, kSystemShortDate);
        switch (row.kind) {
            case ExportRowKind::Maxi:
                lines.push_back(Join({"Maxi.", date, "0", PlainAmount(row.amount),
                                      PlainAmount(row.capital), PlainAmount(row.residual), "0"}));
                break;
            case ExportRowKind::Instalment:
            case ExportRowKind::Suspension:
                lines.push_back(Join(
                    {ExportRowCaption(row), date, FormatNumber(row.ratePercent, kRate),
                     FormatNumber(row.amount, kAmount), FormatNumber(row.capital, kAmount),
                     FormatNumber(row.residual, kAmount), FormatNumber(row.interest, kAmount)}));
                break;
            case ExportRowKind::Buyout:
                lines.push_back(Join({"Riscatto", date, "", FormatNumber(row.amount, kAmount),
                                      FormatNumber(row.capital, kAmount), "0",
                                      FormatNumber(row.interest, kAmount)}));
                break;
            case ExportRowKind::Prepayment:
            case ExportRowKind::Payoff:
                lines.push_back(Join(
                    {ExportRowCaption(row), date, FormatNumber(row.ratePercent, kRate),
                     FormatNumber(row.amount, kAmount), FormatNumber(row.capital, kAmount),
                     FormatNumber(row.residual, kAmount), FormatNumber(row.interest, kAmount)}));
                break;
        }
    }
    return lines;
}

std::string TextExportBytes(const ContractHeader& header, const FinancialPlan& plan) {
    std::string bytes;
    for (const std::string& line : TextExportLines(header, plan)) {
        bytes += Utf8ToCp1252(line);
        bytes += "\r\n";
    }
    return bytes;
}

ExportResult ExportText(const std::filesystem::path& folder, std::string description,
                        const ContractHeader& header, const FinancialPlan& plan) {
    if (!plan.PlanReady) return NoPlanResult();
    return WriteExportFile(ExportFilePath(folder, std::move(description), ".txt"),
                           TextExportBytes(header, plan));
}

}  // namespace quotaplan
