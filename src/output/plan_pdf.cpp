#include "output/plan_pdf.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include "common/clock.h"
#include "common/program_info.h"
#include "output/export_file.h"
#include "output/plan_chart.h"
#include "output/plan_print.h"
#include "output/plan_table.h"
#include "output/text_export.h"

namespace quotaplan {
namespace {

// The chart is laid out at the sizes a 96-dpi screen shows, then drawn at the PDF's
// resolution, so its text has the size of the table's.
constexpr double kScreenDpi = 96;

GridPrintContent PlanTableContent(const std::string& description, const FinancialPlan& plan,
                                  const std::string& taeg, CalendarDate today) {
    GridPrintContent content;
    const auto& headings = PlanTableHeadings();
    content.rows.emplace_back(headings.begin(), headings.end());
    for (PlanTableRow& row : PlanTableRows(plan)) {
        content.rows.emplace_back(std::make_move_iterator(row.begin()),
                                  std::make_move_iterator(row.end()));
    }
    content.gridRowCount = static_cast<int>(content.rows.size());
    content.description = description;
    content.taeg = taeg;
    content.today = today;
    return content;
}

PrintedPairs HeadingPairs(const ContractHeader& header) {
    PrintedPairs pairs;
    for (int i = 0; i < ContractHeader::kSize; ++i) {
        if (!header.labels[i].empty()) pairs.emplace_back(header.labels[i], header.values[i]);
    }
    return pairs;
}

}  // namespace

std::string PlanPdfBytes(const std::string& description, const ContractHeader& header,
                         const FinancialPlan& plan, const std::string& taeg, CalendarDate today) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QString::fromStdString(PrintTitle(description)));
        writer.setCreator(QString::fromStdString(ProgramTitle() + " " + ProgramVersion()));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        const GridPrintContent table = PlanTableContent(description, plan, taeg, today);
        DrawGridPages(painter, writer, table, HeadingPairs(header));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.newPage();
        const PrintedPage chartPage(painter, writer);
        chartPage.DrawHead(PrintTitle(description), today, taeg);
        DrawPlanChart(painter, chartPage.GridArea(), PlanChartDataOf(plan), "",
                      writer.resolution() / kScreenDpi);
    }
    return bytes.toStdString();
}

ExportResult ExportPdf(const std::filesystem::path& folder, std::string description,
                       const ContractHeader& header, const FinancialPlan& plan,
                       const std::string& taeg) {
    if (!plan.PlanReady) return NoPlanResult();
    const std::string shownDescription = description;
    const std::filesystem::path file = ExportFilePath(folder, std::move(description), ".pdf");
    if (!ChartsCanBeDrawn()) {
        return ExportResult{ExportCode::WriteError,
                            "Impossibile disegnare il grafico del file " + file.string(), file};
    }
    return WriteExportFile(file, PlanPdfBytes(shownDescription, header, plan, taeg, Today()));
}

}  // namespace quotaplan
