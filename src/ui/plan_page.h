#pragma once

#include <QWidget>

class QPushButton;

namespace quotaplan {

class PlanGrid;

// Page 1, "Piano finanziario": the plan grid, the export hint and the export and print
// buttons (their commands come with the output layer).
class PlanPage : public QWidget {
    Q_OBJECT
public:
    explicit PlanPage(QWidget* parent = nullptr);

    PlanGrid* fgrPDA = nullptr;
    QPushButton* cmdText = nullptr;
    QPushButton* cmdExcel = nullptr;
    QPushButton* cmdWord = nullptr;
    QPushButton* cmdPrintPDA = nullptr;
};

}  // namespace quotaplan
