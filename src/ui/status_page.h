#pragma once

#include <QWidget>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quotaplan {

// Page 2, "Stato": the lookup-table editor and the frame of the portfolio summary. Only
// the layout lives here so far; the editor and the summary come with their own commands.
class StatusPage : public QWidget {
    Q_OBJECT
public:
    explicit StatusPage(QWidget* parent = nullptr);

    QListWidget* lstSupTab = nullptr;
    QListWidget* lstSupVal = nullptr;
    QLineEdit* txtValue = nullptr;
    QLineEdit* txtValueID = nullptr;
    QPushButton* cmdSupNew = nullptr;
    QPushButton* cmdSupEdit = nullptr;
    QPushButton* cmdSupDel = nullptr;
    QGroupBox* fraSummary = nullptr;
};

}  // namespace quotaplan
