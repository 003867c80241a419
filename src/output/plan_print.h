#pragma once

#include <QRectF>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/calendar_date.h"

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace quotaplan {

// What the plan grid shows, handed over for printing.
struct GridPrintContent {
    std::vector<std::vector<std::string>> rows;  // the grid's cell texts, header row first
    int gridRowCount = 0;     // the grid's row count, header included (may exceed rows.size())
    std::string description;  // the contract description, for the title
    std::string taeg;         // the TAEG as the window shows it ("9,68%"); empty: none
    CalendarDate today;       // the date printed in every page head
};

enum class PrintCode {
    Printed,
    NothingToPrint,  // fewer than 3 grid rows: show as information
    PrinterError,    // no printer, or the printer failed: show as a critical error
};

struct [[nodiscard]] PrintResult {
    PrintCode code = PrintCode::Printed;
    std::string message;  // "", "Non ci sono righe da stampare" or "Errore della stampante"
    bool Ok() const { return code == PrintCode::Printed; }
};

// Page geometry, in millimetres from the top-left corner of the printable area.
inline constexpr double kPrintMarginMm = 20;  // each side of the grid area
inline constexpr double kPrintTitleTopMm = 10;
inline constexpr double kPrintDateTopMm = 16;
// Every row of the grid area, the header row and the lines above the table included. A
// fixed height, so that the rows a page holds follow from the paper alone.
inline constexpr double kPrintRowHeightMm = 5.5;

// "Piano finanziario - " and the description: the title at the head of every printed page.
std::string PrintTitle(const std::string& description);

// One page of the printed layout on a paged device (a printer or a PDF writer), measured
// when made: the device's current page, in its pixels.
class PrintedPage {
public:
    PrintedPage(QPainter& painter, const QPagedPaintDevice& device);

    // The title at 10 mm, cut with an ellipsis at the right margin when it is too wide, and
    // the date "DD.MM.YYYY" at 16 mm, both at the left margin; on the date's line, at the
    // right margin, "TAEG " and the TAEG when there is one.
    void DrawHead(const std::string& title, CalendarDate today, const std::string& taeg = {}) const;
    // Within the 20 mm margins.
    QRectF GridArea() const { return area_; }
    double RowHeight() const { return rowHeight_; }
    double PixelsPerMm() const { return pxPerMmX_; }

private:
    QPainter& painter_;
    double pxPerMmX_ = 0, pxPerMmY_ = 0;
    QRectF area_;
    double rowHeight_ = 0;
};

// Lines of label and value that open the first page, above the grid's header row.
using PrintedPairs = std::vector<std::pair<std::string, std::string>>;

// Draws the grid in the printed layout from the device's current page on, the painter
// being active on the device: every page gets the head, the header row and as many rows as
// fit above the bottom margin (at least one); the first page has `firstPagePairs` and an
// empty line above its header row. Returns false when the device could not start a page.
bool DrawGridPages(QPainter& painter, QPagedPaintDevice& device, const GridPrintContent& content,
                   const PrintedPairs& firstPagePairs = {});

// Prints the grid on `printer`, page by page: on every page the title "Piano finanziario - "
// + description at 10 mm, the date "DD.MM.YYYY" at 16 mm (the TAEG at the right margin of
// that line), then the header row and as many
// grid rows as fit within the 20 mm margins. NothingToPrint when gridRowCount is below 3
// (nothing is printed); PrinterError when the printer cannot start, add a page or finish.
PrintResult PrintGrid(QPrinter& printer, const GridPrintContent& content);

// The system's default printer as the plan is printed on it (high resolution); nullptr
// when the system has none.
std::unique_ptr<QPrinter> DefaultPlanPrinter();

// PrintGrid on the system's default printer; PrinterError when there is none.
PrintResult PrintGridOnDefaultPrinter(const GridPrintContent& content);

}  // namespace quotaplan
