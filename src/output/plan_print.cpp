#include "output/plan_print.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QString>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quotaplan {

namespace {

const char* const kNothingToPrint = "Non ci sono righe da stampare";
const char* const kPrinterError = "Errore della stampante";

// Relative column widths, as the plan grid lays them out; further columns take the last.
constexpr double kColumnWeights[] = {930, 950, 1100, 1100, 1100, 1100};
// Where the values of the first page's pairs start, from the left margin.
constexpr double kPairValueMm = 45;
// The title's size, and how far and in which steps a long one is made smaller.
constexpr double kTitlePoints = 11;
constexpr double kSmallestTitlePoints = 7;
constexpr double kTitleStepPoints = 0.5;

double ColumnWeight(std::size_t column) {
    return kColumnWeights[std::min(column, std::size(kColumnWeights) - 1)];
}

std::string DottedDate(CalendarDate date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.Day(), date.Month(), date.Year());
    return text;
}

QFont CellFont() { return QFont(QStringLiteral("Sans Serif"), 9); }

QFont BoldFont(double points) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

PrintResult Failure() { return PrintResult{PrintCode::PrinterError, kPrinterError}; }

bool IsEmptyRow(const std::vector<std::string>& cells) {
    return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); });
}

double PxPerMmX(const QPagedPaintDevice& device) { return device.logicalDpiX() / 25.4; }
double PxPerMmY(const QPagedPaintDevice& device) { return device.logicalDpiY() / 25.4; }

// The device's current page within the 20 mm margins.
QRectF GridAreaOf(const QPagedPaintDevice& device) {
    return QRectF(QPointF(kPrintMarginMm * PxPerMmX(device), kPrintMarginMm * PxPerMmY(device)),
                  QPointF(device.width() - kPrintMarginMm * PxPerMmX(device),
                          device.height() - kPrintMarginMm * PxPerMmY(device)));
}

double RowHeightOf(const QPagedPaintDevice& device) { return kPrintRowHeightMm * PxPerMmY(device); }

// The height the heading pairs take above the header row: a row each and an empty one.
double PairsHeight(std::size_t pairs, double rowHeight) {
    return pairs == 0 ? 0 : (static_cast<double>(pairs) + 1) * rowHeight;
}

// The grid's rows drawn as boxed cells across the grid area.
class GridRows {
public:
    GridRows(QPainter& painter, const PrintedPage& page, std::size_t columns)
        : painter_(painter), page_(page), cellFont_(CellFont()), headerFont_(BoldFont(9)) {
        double total = 0;
        for (std::size_t c = 0; c < columns; ++c) total += ColumnWeight(c);
        const QRectF area = page.GridArea();
        double x = area.left();
        for (std::size_t c = 0; c < columns; ++c) {
            const double w = area.width() * ColumnWeight(c) / total;
            columnX_.push_back(x);
            columnWidth_.push_back(w);
            x += w;
        }
    }

    // The texts of one row; the boxes around them come from Rules.
    void Row(const std::vector<std::string>& cells, double y, bool header) const {
        painter_.setFont(header ? headerFont_ : cellFont_);
        const double pad = page_.PixelsPerMm();
        const std::size_t shown = std::min(cells.size(), columnX_.size());
        for (std::size_t c = 0; c < shown; ++c) {
            const QRectF cell(columnX_[c], y, columnWidth_[c], page_.RowHeight());
            const Qt::Alignment align = (header || c < 2) ? Qt::AlignHCenter : Qt::AlignRight;
            painter_.drawText(cell.adjusted(pad, 0, -pad, 0), align | Qt::AlignVCenter,
                              QString::fromStdString(cells[c]));
        }
    }

    // The boxes of `rows` rows from `top` down: a rule above and below each row and beside
    // each column. Drawn as whole lines rather than a box a cell, which keeps a page's
    // drawing (and the PDF) a fraction of the size.
    void Rules(double top, std::size_t rows) const {
        if (columnX_.empty() || rows == 0) return;
        const double left = columnX_.front();
        const double right = columnX_.back() + columnWidth_.back();
        const double bottom = top + static_cast<double>(rows) * page_.RowHeight();
        QVector<QLineF> lines;
        for (std::size_t r = 0; r <= rows; ++r) {
            const double y = top + static_cast<double>(r) * page_.RowHeight();
            lines.append(QLineF(left, y, right, y));
        }
        for (double x : columnX_) lines.append(QLineF(x, top, x, bottom));
        lines.append(QLineF(right, top, right, bottom));
        painter_.drawLines(lines);
    }

private:
    QPainter& painter_;
    const PrintedPage& page_;
    QFont cellFont_, headerFont_;
    std::vector<double> columnX_, columnWidth_;
};

}  // namespace

std::string PrintTitle(const std::string& description) {
    return "Piano finanziario - " + description;
}

double DrawPrintedPairs(QPainter& painter, const PrintedPage& page, const PrintedPairs& pairs) {
    if (pairs.empty()) return 0;
    const QRectF area = page.GridArea();
    const double valueX = area.left() + kPairValueMm * page.PixelsPerMm();
    const QFont labelFont = BoldFont(9);
    const QFont valueFont = CellFont();
    const QFontMetricsF valueMetrics(valueFont, painter.device());
    double y = area.top();
    for (const auto& [label, value] : pairs) {
        painter.setFont(labelFont);
        painter.drawText(QRectF(area.left(), y, valueX - area.left(), page.RowHeight()),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(label));
        painter.setFont(valueFont);
        const QString shown = valueMetrics.elidedText(QString::fromStdString(value), Qt::ElideRight,
                                                      area.right() - valueX);
        painter.drawText(QRectF(valueX, y, area.right() - valueX, page.RowHeight()),
                         Qt::AlignLeft | Qt::AlignVCenter, shown);
        y += page.RowHeight();
    }
    return PairsHeight(pairs.size(), page.RowHeight());
}

PrintedPage::PrintedPage(QPainter& painter, const QPagedPaintDevice& device)
    : painter_(painter),
      pxPerMmX_(PxPerMmX(device)),
      pxPerMmY_(PxPerMmY(device)),
      area_(GridAreaOf(device)),
      rowHeight_(RowHeightOf(device)) {}

void PrintedPage::DrawHead(const std::string& title, CalendarDate today,
                           const std::string& taeg) const {
    const QString whole = QString::fromStdString(title);
    // A title wider than the grid is set smaller, down to a size still read with ease; only
    // beyond that is it cut, with an ellipsis at the right margin, so the page shows that it
    // goes on instead of stopping mid-letter at the paper's edge.
    QFont titleFont = BoldFont(kTitlePoints);
    while (titleFont.pointSizeF() - kTitleStepPoints >= kSmallestTitlePoints &&
           QFontMetricsF(titleFont, painter_.device()).horizontalAdvance(whole) > area_.width()) {
        titleFont.setPointSizeF(titleFont.pointSizeF() - kTitleStepPoints);
    }
    painter_.setFont(titleFont);
    const QString shown = QFontMetricsF(titleFont, painter_.device())
                              .elidedText(whole, Qt::ElideRight, area_.width());
    painter_.drawText(
        QRectF(area_.left(), kPrintTitleTopMm * pxPerMmY_, area_.width(), rowHeight_ * 2),
        Qt::AlignLeft | Qt::AlignTop, shown);
    painter_.setFont(CellFont());
    painter_.drawText(
        QRectF(area_.left(), kPrintDateTopMm * pxPerMmY_, area_.width(), rowHeight_ * 2),
        Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(DottedDate(today)));
    if (taeg.empty()) return;
    painter_.setFont(BoldFont(9));
    painter_.drawText(
        QRectF(area_.left(), kPrintDateTopMm * pxPerMmY_, area_.width(), rowHeight_ * 2),
        Qt::AlignRight | Qt::AlignTop, QString::fromStdString("TAEG " + taeg));
    painter_.setFont(CellFont());
}

void PrintedPage::DrawPageNumber(int page, int pages) const {
    painter_.setFont(CellFont());
    const double top = area_.bottom() + kPrintPageNumberGapMm * pxPerMmY_;
    painter_.drawText(QRectF(area_.left(), top, area_.width(), rowHeight_),
                      Qt::AlignRight | Qt::AlignTop,
                      QStringLiteral("Pagina %1 di %2").arg(page).arg(pages));
}

std::vector<GridPageRows> LayOutGridPages(const QPagedPaintDevice& device,
                                          const GridPrintContent& content) {
    std::size_t bodyRows = content.rows.empty() ? 0 : content.rows.size() - 1;
    while (bodyRows > 0 && IsEmptyRow(content.rows[bodyRows])) --bodyRows;
    const QRectF area = GridAreaOf(device);
    const double rowHeight = RowHeightOf(device);
    // Rows under the header row that fit from `top` down to the bottom margin.
    const auto fitting = [&](double top) {
        const double room = area.bottom() - top - rowHeight;
        return room > 0 ? static_cast<std::size_t>(room / rowHeight + 1e-9) : std::size_t{0};
    };
    std::vector<GridPageRows> pages;
    std::size_t next = 0;
    const double firstTop = area.top() + PairsHeight(content.headingPairs.size(), rowHeight);
    pages.push_back({next, std::min(fitting(firstTop), bodyRows)});
    next += pages.back().count;
    // Later pages take at least one row each, so that printing always advances.
    const std::size_t onLaterPages = std::max<std::size_t>(fitting(area.top()), 1);
    while (next < bodyRows) {
        pages.push_back({next, std::min(onLaterPages, bodyRows - next)});
        next += pages.back().count;
    }
    return pages;
}

void DrawGridPage(QPainter& painter, const QPagedPaintDevice& device,
                  const GridPrintContent& content, const std::vector<GridPageRows>& layout,
                  std::size_t index, int documentPages) {
    if (content.rows.empty() || index >= layout.size()) return;
    std::size_t columns = 0;
    for (const auto& row : content.rows) columns = std::max(columns, row.size());
    const PrintedPage page(painter, device);
    const GridRows grid(painter, page, columns);
    page.DrawHead(PrintTitle(content.description), content.today, content.taeg);
    double y = page.GridArea().top();
    if (index == 0) y += DrawPrintedPairs(painter, page, content.headingPairs);
    const double tableTop = y;
    grid.Row(content.rows.front(), y, true);
    const GridPageRows& rows = layout[index];
    for (std::size_t k = 0; k < rows.count; ++k) {
        y += page.RowHeight();
        grid.Row(content.rows[1 + rows.first + k], y, false);
    }
    grid.Rules(tableTop, rows.count + 1);
    page.DrawPageNumber(static_cast<int>(index) + 1, documentPages);
}

PrintChoice ChoiceOf(const QPrinter& printer) {
    PrintChoice choice;
    if (printer.printRange() == QPrinter::PageRange) choice.pages = printer.pageRanges();
    if (!printer.supportsMultipleCopies()) choice.copies = std::max(printer.copyCount(), 1);
    choice.collate = printer.collateCopies();
    return choice;
}

std::vector<int> PrintOrder(int documentPages, const PrintChoice& choice) {
    std::vector<int> chosen;
    for (int page = 1; page <= documentPages; ++page) {
        if (choice.pages.isEmpty() || choice.pages.contains(page)) chosen.push_back(page - 1);
    }
    std::vector<int> order;
    const int copies = std::max(choice.copies, 1);
    if (choice.collate) {
        for (int copy = 0; copy < copies; ++copy)
            order.insert(order.end(), chosen.begin(), chosen.end());
    } else {
        for (int page : chosen) order.insert(order.end(), static_cast<std::size_t>(copies), page);
    }
    return order;
}

PrintResult PrintGrid(QPrinter& printer, const GridPrintContent& content,
                      const PrintChoice& choice) {
    if (content.gridRowCount < 3 || content.rows.empty()) {
        return PrintResult{PrintCode::NothingToPrint, kNothingToPrint};
    }
    if (!printer.isValid()) return Failure();
    const std::vector<GridPageRows> layout = LayOutGridPages(printer, content);
    const int documentPages = static_cast<int>(layout.size());
    const std::vector<int> order = PrintOrder(documentPages, choice);
    if (order.empty()) return PrintResult{PrintCode::NothingToPrint, kNothingToPrint};
    QPainter painter;
    if (!painter.begin(&printer)) return Failure();
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && !printer.newPage()) {
            painter.end();
            return Failure();
        }
        DrawGridPage(painter, printer, content, layout, static_cast<std::size_t>(order[k]),
                     documentPages);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) return Failure();
    return PrintResult{};
}

PrintResult PrintGridOnDefaultPrinter(const GridPrintContent& content) {
    if (content.gridRowCount < 3 || content.rows.empty()) {
        return PrintResult{PrintCode::NothingToPrint, kNothingToPrint};
    }
    const std::unique_ptr<QPrinter> printer = DefaultPlanPrinter();
    if (printer == nullptr) return Failure();
    return PrintGrid(*printer, content);
}

std::unique_ptr<QPrinter> DefaultPlanPrinter() {
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) return nullptr;
    return std::make_unique<QPrinter>(defaultPrinter, QPrinter::HighResolution);
}

}  // namespace quotaplan
