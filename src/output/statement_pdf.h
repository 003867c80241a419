#pragma once

#include <filesystem>
#include <string>

#include "common/calendar_date.h"
#include "output/export_result.h"
#include "output/payoff_statement_lines.h"
#include "output/plan_print.h"

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace quotaplan {

// The early-payoff statement on one page of the printed layout: the head (StatementTitle at
// 10 mm, the date at 16 mm), then its lines of label and value (DrawPrintedPairs) and
// "Pagina 1 di 1".
void DrawStatementPage(QPainter& painter, const QPagedPaintDevice& device,
                       const StatementDocument& statement, CalendarDate today);

// The statement as an A4 PDF page, its text real text.
std::string StatementPdfBytes(const StatementDocument& statement, CalendarDate today);

// Writes folder/<cleaned description> - conteggio estintivo.pdf dated Today(), replacing an
// older file (WriteExportFile).
ExportResult ExportStatementPdf(const std::filesystem::path& folder,
                                const StatementDocument& statement);

// Prints the statement's page on the printer. PrinterError when the printer cannot start or
// finish.
PrintResult PrintStatement(QPrinter& printer, const StatementDocument& statement,
                           CalendarDate today);

}  // namespace quotaplan
