#include "output/statement_pdf.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include "common/clock.h"
#include "common/program_info.h"
#include "output/export_file.h"

namespace quotaplan {

void DrawStatementPage(QPainter& painter, const QPagedPaintDevice& device,
                       const StatementDocument& statement, CalendarDate today) {
    const PrintedPage page(painter, device);
    page.DrawHead(StatementTitle(statement.description), today);
    DrawPrintedPairs(painter, page, statement.lines);
    page.DrawPageNumber(1, 1);
}

std::string StatementPdfBytes(const StatementDocument& statement, CalendarDate today) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QString::fromStdString(StatementTitle(statement.description)));
        writer.setCreator(QString::fromStdString(ProgramTitle() + " " + ProgramVersion()));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        DrawStatementPage(painter, writer, statement, today);
    }
    return bytes.toStdString();
}

ExportResult ExportStatementPdf(const std::filesystem::path& folder,
                                const StatementDocument& statement) {
    const std::filesystem::path file =
        ExportFilePath(folder, statement.description + " - conteggio estintivo", ".pdf");
    return WriteExportFile(file, StatementPdfBytes(statement, Today()));
}

PrintResult PrintStatement(QPrinter& printer, const StatementDocument& statement,
                           CalendarDate today) {
    const PrintResult failure{PrintCode::PrinterError, "Errore della stampante"};
    if (!printer.isValid()) return failure;
    QPainter painter;
    if (!painter.begin(&printer)) return failure;
    DrawStatementPage(painter, printer, statement, today);
    if (!painter.end() || printer.printerState() == QPrinter::Error) return failure;
    return PrintResult{};
}

}  // namespace quotaplan
