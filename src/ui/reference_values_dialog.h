#pragma once

#include <QDialog>
#include <optional>

#include "ui/reference_values_editor.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace quotaplan {

class MessageBoxes;
class WindowArchive;

// The dated values of one reference rate, opened from the "Stato" page: the list of its
// values (date, value in percent) and the fields and commands that add, change, delete and
// import them. The rules live in ReferenceValuesEditor; this window shows the list and
// reads the fields.
class ReferenceValuesDialog : public QDialog {
    Q_OBJECT
public:
    ReferenceValuesDialog(WindowArchive& archive, MessageBoxes& boxes, const std::string& rateName,
                          QWidget* parent = nullptr);

    QTreeWidget* lsvValTxRif = nullptr;
    QLineEdit* txtValData = nullptr;
    QLineEdit* txtValValore = nullptr;
    QPushButton* cmdValNuovo = nullptr;
    QPushButton* cmdValModifica = nullptr;
    QPushButton* cmdValCancella = nullptr;
    QPushButton* cmdValImporta = nullptr;
    QPushButton* cmdValChiudi = nullptr;

signals:
    // A command changed the series.
    void valuesChanged();

private:
    void Build();
    void FillList();
    void ValueClicked();
    void Run(bool (ReferenceValuesEditor::*command)(const ValuesPanel&));
    void Import();
    void AfterChange();
    ValuesPanel Panel() const;

    ReferenceValuesEditor editor_;
};

}  // namespace quotaplan
