#include "output/plan_print.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QString>
#include <algorithm>
#include <cstdio>

namespace quotaplan {

namespace {

const char* const kNothingToPrint = "Non ci sono righe da stampare";
const char* const kPrinterError = "Errore della stampante";

// Relative column widths, as the plan grid lays them out; further columns take the last.
constexpr double kColumnWeights[] = {930, 950, 1100, 1100, 1100, 1100};

double ColumnWeight(std::size_t column) {
    return kColumnWeights[std::min(column, std::size(kColumnWeights) - 1)];
}

std::string DottedDate(CalendarDate date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.Day(), date.Month(), date.Year());
    return text;
}

PrintResult Failure() { return PrintResult{PrintCode::PrinterError, kPrinterError}; }

class PagePainter {
public:
    PagePainter(QPainter& painter, QPrinter& printer, const GridPrintContent& content)
        : painter_(painter), content_(content) {
        pxPerMmX_ = printer.logicalDpiX() / 25.4;
        pxPerMmY_ = printer.logicalDpiY() / 25.4;
        const double width = printer.width();
        const double height = printer.height();
        left_ = kPrintMarginMm * pxPerMmX_;
        top_ = kPrintMarginMm * pxPerMmY_;
        right_ = width - kPrintMarginMm * pxPerMmX_;
        bottom_ = height - kPrintMarginMm * pxPerMmY_;
        cellFont_ = QFont(QStringLiteral("Sans Serif"), 9);
        headerFont_ = cellFont_;
        headerFont_.setBold(true);
        titleFont_ = QFont(QStringLiteral("Sans Serif"), 11);
        titleFont_.setBold(true);
        painter_.setFont(cellFont_);
        rowHeight_ = QFontMetricsF(cellFont_, &printer).height() * 1.5;

        std::size_t columns = 0;
        for (const auto& row : content.rows) columns = std::max(columns, row.size());
        double total = 0;
        for (std::size_t c = 0; c < columns; ++c) total += ColumnWeight(c);
        double x = left_;
        for (std::size_t c = 0; c < columns; ++c) {
            const double w = (right_ - left_) * ColumnWeight(c) / total;
            columnX_.push_back(x);
            columnWidth_.push_back(w);
            x += w;
        }
    }

    // Rows after the header that fit on one page; at least one, so printing always advances.
    std::size_t RowsPerPage() const {
        const double room = bottom_ - top_ - rowHeight_;
        return std::max<std::size_t>(1, static_cast<std::size_t>(room / rowHeight_));
    }

    void Head() {
        painter_.setFont(titleFont_);
        // A title wider than the grid is cut with an ellipsis at the right margin, so the
        // page shows that it goes on instead of stopping mid-letter at the paper's edge.
        const QString title =
            QFontMetricsF(titleFont_, painter_.device())
                .elidedText(QString::fromStdString("Piano finanziario - " + content_.description),
                            Qt::ElideRight, right_ - left_);
        painter_.drawText(
            QRectF(left_, kPrintTitleTopMm * pxPerMmY_, right_ - left_, rowHeight_ * 2),
            Qt::AlignLeft | Qt::AlignTop, title);
        painter_.setFont(cellFont_);
        painter_.drawText(
            QRectF(left_, kPrintDateTopMm * pxPerMmY_, right_ - left_, rowHeight_ * 2),
            Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(DottedDate(content_.today)));
    }

    void Row(const std::vector<std::string>& cells, double y, bool header) {
        painter_.setFont(header ? headerFont_ : cellFont_);
        const double pad = 1.0 * pxPerMmX_;
        for (std::size_t c = 0; c < columnX_.size(); ++c) {
            const QRectF cell(columnX_[c], y, columnWidth_[c], rowHeight_);
            painter_.drawRect(cell);
            if (c >= cells.size()) continue;
            const Qt::Alignment align = (header || c < 2) ? Qt::AlignHCenter : Qt::AlignRight;
            painter_.drawText(cell.adjusted(pad, 0, -pad, 0), align | Qt::AlignVCenter,
                              QString::fromStdString(cells[c]));
        }
    }

    double Top() const { return top_; }
    double RowHeight() const { return rowHeight_; }

private:
    QPainter& painter_;
    const GridPrintContent& content_;
    double pxPerMmX_ = 0, pxPerMmY_ = 0;
    double left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    double rowHeight_ = 0;
    QFont cellFont_, headerFont_, titleFont_;
    std::vector<double> columnX_, columnWidth_;
};

}  // namespace

PrintResult PrintGrid(QPrinter& printer, const GridPrintContent& content) {
    if (content.gridRowCount < 3 || content.rows.empty()) {
        return PrintResult{PrintCode::NothingToPrint, kNothingToPrint};
    }
    if (!printer.isValid()) return Failure();
    QPainter painter;
    if (!painter.begin(&printer)) return Failure();
    PagePainter page(painter, printer, content);
    const std::vector<std::string>& header = content.rows.front();
    const std::size_t bodyRows = content.rows.size() - 1;
    const std::size_t perPage = page.RowsPerPage();
    std::size_t next = 1;
    do {
        if (next > 1 && !printer.newPage()) {
            painter.end();
            return Failure();
        }
        page.Head();
        double y = page.Top();
        page.Row(header, y, true);
        for (std::size_t k = 0; k < perPage && next <= bodyRows; ++k, ++next) {
            y += page.RowHeight();
            page.Row(content.rows[next], y, false);
        }
    } while (next <= bodyRows);
    if (!painter.end() || printer.printerState() == QPrinter::Error) return Failure();
    return PrintResult{};
}

PrintResult PrintGridOnDefaultPrinter(const GridPrintContent& content) {
    if (content.gridRowCount < 3 || content.rows.empty()) {
        return PrintResult{PrintCode::NothingToPrint, kNothingToPrint};
    }
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) return Failure();
    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    return PrintGrid(printer, content);
}

}  // namespace quotaplan
