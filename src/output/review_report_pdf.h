#pragma once

#include <filesystem>
#include <string>

#include "output/export_result.h"
#include "output/plan_print.h"
#include "output/review_report.h"

class QPagedPaintDevice;
class QPainter;

namespace quotaplan {

// Lays out and draws the report on a paged device (a PDF writer or a printer) whose painter
// is active on its first page: on every page the head of the printed plan (the document's
// title, its date) and "Pagina k di n"; headings in bold, pairs as label and value, paragraphs
// wrapped, tables with their header row repeated on each page and the cells where the plans
// part on a red ground in bold. `newPage` starts the next page (false: the device failed).
// Returns the pages drawn, 0 when a page could not be started.
int DrawReviewReport(QPainter& painter, QPagedPaintDevice& device, const ReportDocument& document,
                     const std::function<bool()>& newPage);

// The report as the bytes of an A4 PDF whose text can be selected and copied.
std::string ReviewReportPdfBytes(const ReportDocument& document);

// Writes folder/<cleaned description>.pdf (ExportFilePath, WriteExportFile), replacing an
// older file.
ExportResult ExportReviewReportPdf(const std::filesystem::path& folder, std::string description,
                                   const ReportDocument& document);

// Prints the report on `printer`; PrinterError ("Errore della stampante") when it cannot
// start or add a page.
PrintResult PrintReviewReport(QPrinter& printer, const ReportDocument& document);

}  // namespace quotaplan
