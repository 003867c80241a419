#pragma once

#include <QPageRanges>
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

// Lines of label and value that open the first page, above the grid's header row.
using PrintedPairs = std::vector<std::pair<std::string, std::string>>;

// What the plan grid shows, handed over for printing.
struct GridPrintContent {
    std::vector<std::vector<std::string>> rows;  // the grid's cell texts, header row first
    int gridRowCount = 0;       // the grid's row count, header included (may exceed rows.size())
    std::string description;    // the contract description, for the title
    std::string taeg;           // the TAEG as the window shows it ("9,68%"); empty: none
    CalendarDate today;         // the date printed in every page head
    PrintedPairs headingPairs;  // the heading block of page 1; empty: none
};

// What the print dialog asked for beyond the printer: the document's pages to print
// (1-based; empty: all) and the copies the program must make itself, because the printer
// cannot (a PDF file), collated (the whole run again) or not (each page again).
struct PrintChoice {
    QPageRanges pages;
    int copies = 1;
    bool collate = true;
};

// The choice a printer set up by the print dialog holds: its page range when it prints one,
// and its copies when it cannot make them itself.
PrintChoice ChoiceOf(const QPrinter& printer);

// The order in which the pages of a document of `documentPages` pages go to the printer
// (0-based indexes): the chosen ones in order, each copy after the other as `choice` says.
// Empty when no chosen page exists.
std::vector<int> PrintOrder(int documentPages, const PrintChoice& choice);

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
// From the grid area's bottom edge down to the top of "Pagina k di n".
inline constexpr double kPrintPageNumberGapMm = 6;

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
    // "Pagina k di n" at the right margin, in the bottom margin.
    void DrawPageNumber(int page, int pages) const;
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

// The label and value lines of `pairs` from the top of the grid area, a row each: the label
// in bold at the left margin, the value 45 mm on, cut with an ellipsis at the right margin.
// Returns the height they take with the empty row under them.
double DrawPrintedPairs(QPainter& painter, const PrintedPage& page, const PrintedPairs& pairs);

// The body rows of one page of the grid: rows [first, first + count) of the content,
// counting from the first row after the header row.
struct GridPageRows {
    std::size_t first = 0;
    std::size_t count = 0;
};

// How the grid's rows fall on the pages of the device's present page size: the rows up to
// the last that holds any text (the grid's empty rows at its end are no part of the plan),
// on each page as many as fit under its head and the header row, page 1 under the heading
// pairs and an empty line too; on later pages at least one. One page, of the header row
// alone, when no row holds text.
std::vector<GridPageRows> LayOutGridPages(const QPagedPaintDevice& device,
                                          const GridPrintContent& content);

// Draws page `index` of `layout` on the device's current page, the painter being active on
// it: the head, on page 1 the heading pairs, the header row and the page's rows boxed, and
// "Pagina <index + 1> di <documentPages>".
void DrawGridPage(QPainter& painter, const QPagedPaintDevice& device,
                  const GridPrintContent& content, const std::vector<GridPageRows>& layout,
                  std::size_t index, int documentPages);

// Prints the grid on `printer`, page by page: on every page the title "Piano finanziario - "
// + description at 10 mm, the date "DD.MM.YYYY" at 16 mm (the TAEG at the right margin of
// that line), on page 1 the heading pairs, then the header row and as many grid rows as fit
// within the 20 mm margins, and "Pagina k di n" below them (LayOutGridPages, DrawGridPage);
// the pages and copies of `choice` only. NothingToPrint when gridRowCount is below 3 or no
// chosen page exists (nothing is printed); PrinterError when the printer cannot start, add a
// page or finish.
PrintResult PrintGrid(QPrinter& printer, const GridPrintContent& content,
                      const PrintChoice& choice = {});

// The system's default printer as the plan is printed on it (high resolution); nullptr
// when the system has none.
std::unique_ptr<QPrinter> DefaultPlanPrinter();

// PrintGrid on the system's default printer; PrinterError when there is none.
PrintResult PrintGridOnDefaultPrinter(const GridPrintContent& content);

}  // namespace quotaplan
