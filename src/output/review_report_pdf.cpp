#include "output/review_report_pdf.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <functional>
#include <memory>

#include "common/program_info.h"
#include "output/export_file.h"

namespace quotaplan {
namespace {

QFont TextFont(double points, bool bold = false) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

constexpr double kBodyPoints = 9;
constexpr double kTablePoints = 6.5;
constexpr double kHeadingPoints = 11;
constexpr double kPairLabelShare = 0.42;  // of the area's width

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

// Runs the layout twice: first to count the pages, then to draw them numbered "k di n".
class ReportPainter {
public:
    ReportPainter(QPainter& painter, QPagedPaintDevice& device, const ReportDocument& document,
                  std::function<bool()> newPage, int pages)
        : painter_(painter),
          device_(device),
          document_(document),
          newPage_(std::move(newPage)),
          drawing_(pages > 0),
          pages_(pages) {}

    // Lays out every block; the pages used, 0 when one could not be started.
    int Run() {
        if (!StartPage(true)) return 0;
        for (const ReportBlock& block : document_.blocks) {
            if (!Block(block)) return 0;
        }
        return page_;
    }

private:
    const PrintedPage& Page() const { return *pageGeometry_; }
    double Mm(double mm) const { return mm * Page().PixelsPerMm(); }

    bool StartPage(bool first) {
        if (!first && drawing_ && !newPage_()) return false;
        ++page_;
        pageGeometry_ = std::make_unique<PrintedPage>(painter_, device_);
        y_ = Page().GridArea().top();
        if (drawing_) {
            Page().DrawHead(document_.title, document_.date);
            Page().DrawPageNumber(page_, pages_);
        }
        return true;
    }

    // Room for `height` more, on a new page when this one is full.
    bool Room(double height) {
        if (y_ + height <= Page().GridArea().bottom() || y_ == Page().GridArea().top()) return true;
        return StartPage(false);
    }

    double TextHeight(const QFont& font, const QString& text, double width) const {
        const QFontMetricsF metrics(font, painter_.device());
        return metrics.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text).height();
    }

    void Text(const QFont& font, const QRectF& box, const QString& text, int flags) {
        if (!drawing_) return;
        painter_.setFont(font);
        painter_.drawText(box, flags, text);
    }

    bool Block(const ReportBlock& block) {
        const QRectF area = Page().GridArea();
        switch (block.kind) {
            case ReportBlock::Kind::Heading: {
                const double height = Mm(9);
                if (!Room(height + Mm(12))) return false;  // not alone at a page's foot
                Text(TextFont(kHeadingPoints, true),
                     QRectF(area.left(), y_ + Mm(3), area.width(), height - Mm(3)),
                     ToQt(block.text), Qt::AlignLeft | Qt::AlignVCenter);
                y_ += height;
                return true;
            }
            case ReportBlock::Kind::Pair: {
                const double labelWidth = area.width() * kPairLabelShare;
                const QString value = ToQt(block.value);
                const double height = std::max(
                    Mm(5),
                    TextHeight(TextFont(kBodyPoints), value, area.width() - labelWidth) + Mm(1));
                if (!Room(height)) return false;
                Text(TextFont(kBodyPoints, true), QRectF(area.left(), y_, labelWidth, height),
                     ToQt(block.text), Qt::AlignLeft | Qt::AlignTop);
                Text(TextFont(kBodyPoints),
                     QRectF(area.left() + labelWidth, y_, area.width() - labelWidth, height), value,
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
                y_ += height;
                return true;
            }
            case ReportBlock::Kind::Paragraph: {
                const QString text = ToQt(block.text);
                const double height = TextHeight(TextFont(kBodyPoints), text, area.width()) + Mm(2);
                if (!Room(height)) return false;
                Text(TextFont(kBodyPoints), QRectF(area.left(), y_, area.width(), height), text,
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
                y_ += height;
                return true;
            }
            case ReportBlock::Kind::Table:
                return Table(block.table);
        }
        return true;
    }

    void Row(const std::vector<std::string>& cells, const std::vector<bool>* marked, bool header,
             double height) {
        if (!drawing_) return;
        const QRectF area = Page().GridArea();
        const double width = area.width() / static_cast<double>(cells.size());
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const QRectF box(area.left() + width * static_cast<double>(c), y_, width, height);
            const bool parts = marked && c < marked->size() && (*marked)[c];
            if (parts) painter_.fillRect(box, QColor(255, 205, 205));
            painter_.setPen(Qt::black);
            painter_.drawRect(box);
            painter_.setFont(TextFont(kTablePoints, header || parts));
            const int align = header || c < 2 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter;
            painter_.drawText(box.adjusted(Mm(0.6), 0, -Mm(0.6), 0), align | Qt::TextWordWrap,
                              ToQt(cells[c]));
        }
    }

    bool Table(const ReportTable& table) {
        const double rowHeight = Mm(4.2);
        const double headerHeight = Mm(7);
        if (!Room(headerHeight + rowHeight)) return false;
        Row(table.header, nullptr, true, headerHeight);
        y_ += headerHeight;
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            if (y_ + rowHeight > Page().GridArea().bottom()) {
                if (!StartPage(false)) return false;
                Row(table.header, nullptr, true, headerHeight);
                y_ += headerHeight;
            }
            Row(table.rows[r], r < table.marked.size() ? &table.marked[r] : nullptr, false,
                rowHeight);
            y_ += rowHeight;
        }
        y_ += Mm(2);
        return true;
    }

    QPainter& painter_;
    QPagedPaintDevice& device_;
    const ReportDocument& document_;
    std::function<bool()> newPage_;
    bool drawing_;
    int pages_;
    int page_ = 0;
    std::unique_ptr<PrintedPage> pageGeometry_;
    double y_ = 0;
};

}  // namespace

int DrawReviewReport(QPainter& painter, QPagedPaintDevice& device, const ReportDocument& document,
                     const std::function<bool()>& newPage) {
    const int pages = ReportPainter(painter, device, document, newPage, 0).Run();
    if (pages == 0) return 0;
    return ReportPainter(painter, device, document, newPage, pages).Run();
}

std::string ReviewReportPdfBytes(const ReportDocument& document) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(ToQt(document.title));
        writer.setCreator(ToQt(ProgramTitle() + " " + ProgramVersion()));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        DrawReviewReport(painter, writer, document, [&writer] { return writer.newPage(); });
    }
    return bytes.toStdString();
}

ExportResult ExportReviewReportPdf(const std::filesystem::path& folder, std::string description,
                                   const ReportDocument& document) {
    const std::filesystem::path file = ExportFilePath(folder, std::move(description), ".pdf");
    return WriteExportFile(file, ReviewReportPdfBytes(document));
}

PrintResult PrintReviewReport(QPrinter& printer, const ReportDocument& document) {
    const PrintResult failed{PrintCode::PrinterError, "Errore della stampante"};
    QPainter painter;
    if (!painter.begin(&printer)) return failed;
    const int pages =
        DrawReviewReport(painter, printer, document, [&printer] { return printer.newPage(); });
    if (!painter.end() || pages == 0) return failed;
    return {};
}

}  // namespace quotaplan
