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

    // Marks the rows whose rate changed: the rate in bold, the row on a light red
    // background when the rate went up, light green when it went down, and the previous
    // rate in the row's tooltip ("Prima: 3,50 %"). The marks last until the rows are
    // replaced.
    void MarkChangedRates(const std::vector<ChangedRate>& changed);

    // The background of a row whose rate went up, and of one whose rate went down.
    static const QColor kRateUp;
    static const QColor kRateDown;
};

}  // namespace quotaplan
