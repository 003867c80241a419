#include "ui/plan_grid.h"

#include <QHeaderView>
#include <array>

#include "common/number_text.h"
#include "engine/financial_plan.h"
#include "engine/plan_lines.h"
#include "output/event_heading.h"
#include "output/plan_table.h"
#include "ui/twips.h"

namespace quotaplan {
namespace {

static_assert(PlanGrid::kColumns == kPlanTableColumns);
constexpr int kLongDate = 2;  // "dd/mm/yyyy", as the events' headings write dates
constexpr std::array<int, PlanGrid::kColumns> kWidthsTwips = {930, 950, 1100, 1100, 1100, 1100};

Qt::Alignment AlignmentOf(int column) {
    return column < 2 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter;
}

QString Heading(int column) {
    const std::string_view heading = PlanTableHeadings()[static_cast<std::size_t>(column)];
    return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
}

}  // namespace

PlanGrid::PlanGrid(QWidget* parent) : QTableWidget(0, kColumns, parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(20);
    QFont bold = horizontalHeader()->font();
    bold.setBold(true);
    horizontalHeader()->setFont(bold);
    for (int column = 0; column < kColumns; ++column) {
        setHorizontalHeaderItem(column, new QTableWidgetItem(Heading(column)));
    }
    SetColumnWidths();
}

void PlanGrid::SetColumnWidths() {
    const int growth = std::max(0, width() - Twips(kDesignedWidthTwips));
    int designed = 0;
    for (int twips : kWidthsTwips) designed += Twips(twips);
    for (int column = 0; column < kColumns; ++column) {
        const int width = Twips(kWidthsTwips[static_cast<std::size_t>(column)]);
        setColumnWidth(column, width + growth * width / designed);
    }
}

void PlanGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    SetColumnWidths();
}

void PlanGrid::SetRows(int rows) { setRowCount(std::max(rows, 1) - 1); }

QString PlanGrid::TextMatrix(int row, int column) const {
    if (row == 0) {
        const QTableWidgetItem* heading = horizontalHeaderItem(column);
        return heading ? heading->text() : QString();
    }
    const QTableWidgetItem* cell = item(row - 1, column);
    return cell ? cell->text() : QString();
}

void PlanGrid::SetTextMatrix(int row, int column, const QString& text) {
    if (row == 0) {
        setHorizontalHeaderItem(column, new QTableWidgetItem(text));
        return;
    }
    auto* cell = new QTableWidgetItem(text);
    cell->setTextAlignment(AlignmentOf(column));
    // The first column is the grid's fixed column.
    if (column == 0) cell->setBackground(palette().button());
    setItem(row - 1, column, cell);
}

bool PlanGrid::CellBold(int row, int column) const {
    if (row == 0) return horizontalHeader()->font().bold();
    const QTableWidgetItem* cell = item(row - 1, column);
    return cell && cell->font().bold();
}

int PlanGrid::ColWidthTwips(int column) const { return columnWidth(column) * 15; }

Qt::Alignment PlanGrid::ColAlignment(int column) const { return AlignmentOf(column); }

void PlanGrid::MarkEventRow(int row, const QString& tip) {
    if (row < 1) return;
    for (int column = 0; column < columnCount(); ++column) {
        QTableWidgetItem* cell = item(row - 1, column);
        if (cell == nullptr) continue;
        // A light yellow with its own dark text: readable whatever the theme.
        cell->setBackground(QColor(0xFF, 0xF2, 0xCC));
        cell->setForeground(QColor(Qt::black));
        QFont bold = cell->font();
        bold.setBold(true);
        cell->setFont(bold);
        cell->setToolTip(tip);
    }
}

bool PlanGrid::IsEventRow(int row) const {
    const QTableWidgetItem* cell = row < 1 ? nullptr : item(row - 1, 0);
    return cell != nullptr && !cell->toolTip().isEmpty();
}

void PlanGridWriter::FillPlanGrid() const {
    if (grid_ == nullptr) return;
    PlanGrid& grid = *grid_;
    grid.clearContents();
    grid.setColumnCount(PlanGrid::kColumns);
    // The row count runs ahead of the written rows: n + 3 whatever the optional maxi and
    // buy-out rows, as printing expects, and more for the lines of the contract's events.
    const std::vector<PlanLine> lines = PlanLines(plan_, DerivedLines::WhenNotZero);
    grid.SetRows(std::max(plan_.Count() + 3, static_cast<int>(lines.size()) + 1));
    for (int column = 0; column < PlanGrid::kColumns; ++column) {
        grid.SetTextMatrix(0, column, Heading(column));
    }
    grid.SetColumnWidths();
    // Each event's line, and each suspended row, carries what the documents say of its event
    // under their heading block, found by the heading's label: the kind and its date.
    const auto events = EventHeadingLines(plan_);
    std::vector<bool> used(events.size(), false);
    const auto tip = [&](const std::string& label) {
        for (std::size_t k = 0; k < events.size(); ++k) {
            if (!used[k] && events[k].first == label) {
                used[k] = true;
                return QString::fromStdString(events[k].first + ": " + events[k].second);
            }
        }
        return QString::fromStdString(label);
    };
    QString holiday;  // the tip of the run of suspended rows under way
    int row = 1;
    for (const PlanLine& line : lines) {
        const PlanTableRow cells = PlanTableRowOf(line);
        for (int column = 0; column < PlanGrid::kColumns; ++column) {
            grid.SetTextMatrix(row, column,
                               QString::fromStdString(cells[static_cast<std::size_t>(column)]));
        }
        if (line.kind == PlanLineKind::Prepayment || line.kind == PlanLineKind::Payoff) {
            grid.MarkEventRow(row, tip(std::string(PlanLineTipo(line.kind)) + " del " +
                                       FormatDate(line.date, kLongDate)));
        }
        if (line.kind != PlanLineKind::Suspension) {
            holiday.clear();
        } else {
            if (holiday.isEmpty()) {
                holiday = tip(std::string(PlanLineTipo(line.kind)) + " dal " +
                              FormatDate(line.date, kLongDate));
            }
            grid.MarkEventRow(row, holiday);
        }
        ++row;
    }
}

void PlanGridWriter::CutToHeader() const {
    if (grid_ != nullptr) grid_->SetRows(1);
}

}  // namespace quotaplan
