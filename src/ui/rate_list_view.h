#pragma once

#include <QTreeWidget>

#include "ui/rate_list.h"

namespace quotaplan {

// lsvTxHis: one row per instalment, its date and its annual rate in percent, as text.
// The rules that fill and edit the list live in rate_list.h; this class shows a RateList.
class RateListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit RateListView(QWidget* parent = nullptr);

    // Removes all column headers and adds "Rata" and "Tx".
    void SetRateListColumns();

    // Empties a list that holds at least one item and rebuilds its columns; an empty list
    // is left alone.
    void ClearRateList();

    RateList Items() const;
    void SetItems(const RateList& items);

    // Position of the selected row, or -1 when none is selected.
    int SelectedRow() const;
};

}  // namespace quotaplan
