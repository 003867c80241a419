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

GridPrintContent PlanTableContent(const std::string& description, const ContractHeader& header,
                                  const FinancialPlan& plan, const PlanFigures& figures,
                                  CalendarDate today) {
    GridPrintContent content;
    const auto& headings = PlanTableHeadings();
    content.rows.emplace_back(headings.begin(), headings.end());
    for (PlanTableRow& row : PlanTableRows(plan)) {
        content.rows.emplace_back(std::make_move_iterator(row.begin()),
                                  std::make_move_iterator(row.end()));
    }
    content.gridRowCount = static_cast<int>(content.rows.size());
    content.description = description;
    content.taeg = figures.taeg;
    content.today = today;
    content.headingPairs = PrintedHeading(header, figures, plan);
    return content;
}

}  // namespace

std::string PlanPdfBytes(const std::string& description, const ContractHeader& header,
                         const FinancialPlan& plan, const PlanFigures& figures,
                         CalendarDate today) {
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
        const GridPrintContent table = PlanTableContent(description, header, plan, figures, today);
        const std::vector<GridPageRows> layout = LayOutGridPages(writer, table);
        // The plan's pages and the chart's.
        const int pages = static_cast<int>(layout.size()) + 1;
        for (std::size_t k = 0; k < layout.size(); ++k) {
            if (k > 0) writer.newPage();
            DrawGridPage(painter, writer, table, layout, k, pages);
        }
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.newPage();
        const PrintedPage chartPage(painter, writer);
        chartPage.DrawHead(PrintTitle(description), today, figures.taeg);
        chartPage.DrawPageNumber(pages, pages);
        DrawPlanChart(painter, chartPage.GridArea(), PlanChartDataOf(plan), "",
                      writer.resolution() / kScreenDpi);
    }
    return bytes.toStdString();
}

ExportResult ExportPdf(const std::filesystem::path& folder, std::string description,
                       const ContractHeader& header, const FinancialPlan& plan,
                       const PlanFigures& figures) {
    if (!plan.PlanReady) return NoPlanResult();
    const std::string shownDescription = description;
    const std::filesystem::path file = ExportFilePath(folder, std::move(description), ".pdf");
    if (!ChartsCanBeDrawn()) {
        return ExportResult{ExportCode::WriteError,
                            "Impossibile disegnare il grafico del file " + file.string(), file};
    }
    return WriteExportFile(file, PlanPdfBytes(shownDescription, header, plan, figures, Today()));
}

}  // namespace quotaplan
