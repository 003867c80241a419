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
    SetRateListColumns();
}

void RateListView::SetRateListColumns() {
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("Rata"), QStringLiteral("Tx")});
    header()->setStretchLastSection(false);
    // At least the classic widths, and wide enough for a date and a rate in this font.
    const int margin = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    setColumnWidth(0, std::max(Twips(800), fontMetrics().horizontalAdvance("00/00/00") + margin));
    setColumnWidth(1, std::max(Twips(550), fontMetrics().horizontalAdvance("00,00") + margin));
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

int RateListView::SelectedRow() const {
    const auto selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

}  // namespace quotaplan
