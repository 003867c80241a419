#include "ui/plan_grid.h"

#include <QHeaderView>
#include <array>

#include "common/number_text.h"
#include "engine/financial_plan.h"
#include "ui/twips.h"

namespace quotaplan {
namespace {

constexpr std::array<const char*, PlanGrid::kColumns> kHeadings = {
    "Tipo", "Scadenza", "Importo", "Q. Capitale", "Q. Interessi", "Deb. Res."};
constexpr std::array<int, PlanGrid::kColumns> kWidthsTwips = {930, 950, 1100, 1100, 1100, 1100};

Qt::Alignment AlignmentOf(int column) {
    return column < 2 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter;
}

QString Amount(float value) { return QString::fromStdString(FormatNumber(value, 1)); }
QString Date(CalendarDate date) { return QString::fromStdString(FormatDate(date, 1)); }

// One body row: kind, date, amount paid, capital, interest, residual debt.
void WriteRow(PlanGrid& grid, int row, const QString& kind, CalendarDate date, float paid,
              float capital, float interest, float residual) {
    const QString cells[] = {
        kind, Date(date), Amount(paid), Amount(capital), Amount(interest), Amount(residual)};
    for (int column = 0; column < PlanGrid::kColumns; ++column) {
        grid.SetTextMatrix(row, column, cells[column]);
    }
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
        setHorizontalHeaderItem(column,
                                new QTableWidgetItem(QString::fromLatin1(kHeadings[column])));
        setColumnWidth(column, Twips(kWidthsTwips[column]));
    }
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

void PlanGridWriter::FillPlanGrid() const {
    if (grid_ == nullptr) return;
    PlanGrid& grid = *grid_;
    const CalendarDate buyoutDate = plan_.BuyoutDate();
    grid.clearContents();
    grid.setColumnCount(PlanGrid::kColumns);
    grid.SetRows(2);
    for (int column = 0; column < PlanGrid::kColumns; ++column) {
        grid.SetTextMatrix(0, column, QString::fromLatin1(kHeadings[column]));
        grid.setColumnWidth(column, Twips(kWidthsTwips[column]));
    }
    int row = 1;
    if (plan_.Maxicanone > 0) {
        WriteRow(grid, row, QStringLiteral("Maxi."), plan_.DataMaxi, plan_.Maxicanone,
                 plan_.Maxicanone, 0.0f, plan_.Valore - plan_.Maxicanone);
        row = 2;
    }
    for (int i = 1; i <= plan_.Count(); ++i) {
        const PlanRow& line = plan_.rows[static_cast<std::size_t>(i - 1)];
        grid.SetRows(grid.Rows() + 1);
        WriteRow(grid, row, QStringLiteral("%1° Rata").arg(i), line.Data,
                 line.QCapitale + line.QInteressi, line.QCapitale, line.QInteressi, line.DebitoRes);
        ++row;
    }
    grid.SetRows(grid.Rows() + 1);
    if (plan_.Riscatto > 0) {
        WriteRow(grid, row, QStringLiteral("Riscatto"), buyoutDate,
                 plan_.Riscatto + plan_.InteressiRiscatto, plan_.Riscatto, plan_.InteressiRiscatto,
                 0.0f);
    }
}

void PlanGridWriter::CutToHeader() const {
    if (grid_ != nullptr) grid_->SetRows(1);
}

}  // namespace quotaplan
