#include "ui/rate_list_view.h"

#include <QHeaderView>
#include <QStyle>
#include <algorithm>

#include "ui/twips.h"

namespace quotaplan {
namespace {
constexpr int kKeyRole = Qt::UserRole;
}

RateListView::RateListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A long plan brings the vertical scroll bar; the rate column then gives up the room
    // rather than slide out of sight behind a horizontal one.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetRateListColumns();
}

void RateListView::SetRateListColumns() {
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("Rata"), QStringLiteral("Tx")});
    header()->setStretchLastSection(true);
    // At least the classic width, and wide enough for a date in this font; the rate column
    // takes what is left, and no less than a rate needs.
    const int margin = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4;
    setColumnWidth(0, std::max(Twips(800), fontMetrics().horizontalAdvance("00/00/00") + margin));
    setColumnWidth(1, fontMetrics().horizontalAdvance("00,00") + margin);
    headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
}

void RateListView::ClearRateList() {
    if (topLevelItemCount() == 0) return;
    clear();
    SetRateListColumns();
}

RateList RateListView::Items() const {
    RateList items;
    items.reserve(topLevelItemCount());
    for (int row = 0; row < topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = topLevelItem(row);
        items.push_back({item->data(0, kKeyRole).toString().toStdString(),
                         item->text(0).toStdString(), item->text(1).toStdString()});
    }
    return items;
}

void RateListView::SetItems(const RateList& items) {
    clear();
    SetRateListColumns();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(items.size()));
    for (const RateListItem& entry : items) {
        auto* item = new QTreeWidgetItem(
            {QString::fromStdString(entry.date), QString::fromStdString(entry.rate)});
        item->setData(0, kKeyRole, QString::fromStdString(entry.key));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        rows.append(item);
    }
    addTopLevelItems(rows);
}

const QColor RateListView::kRateUp(255, 214, 214);
const QColor RateListView::kRateDown(214, 240, 214);

void RateListView::MarkChangedRates(const std::vector<ChangedRate>& changed) {
    for (const ChangedRate& change : changed) {
        QTreeWidgetItem* item = topLevelItem(static_cast<int>(change.row));
        if (item == nullptr) continue;
        const QString tip =
            QStringLiteral("Prima: %1 %").arg(QString::fromStdString(change.previousRate));
        // Only the rate turns bold: the date column is as wide as a plain date.
        QFont bold = item->font(1);
        bold.setBold(true);
        item->setFont(1, bold);
        for (int column = 0; column < columnCount(); ++column) {
            item->setBackground(column, change.higher ? kRateUp : kRateDown);
            item->setToolTip(column, tip);
        }
    }
}

int RateListView::SelectedRow() const {
    const auto selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

}  // namespace quotaplan
