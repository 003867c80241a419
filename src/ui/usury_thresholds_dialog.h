#pragma once

#include <QDialog>

#include "ui/usury_thresholds_editor.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace quotaplan {

class MessageBoxes;
class WindowArchive;

// The usury thresholds (tabSoglieUsura), opened from the "Stato" page: the list of the rows
// (category, amounts, quarter, TEGM, default-interest surcharge and the threshold the TEGM
// gives) and the fields and commands
// that add, change, delete and import them. The rules live in UsuryThresholdsEditor; this
// window shows the list and reads the fields.
class UsuryThresholdsDialog : public QDialog {
    Q_OBJECT
public:
    UsuryThresholdsDialog(WindowArchive& archive, MessageBoxes& boxes, QWidget* parent = nullptr);

    QTreeWidget* lsvSoglie = nullptr;
    QLineEdit* txtSogCategoria = nullptr;
    QLineEdit* txtSogDa = nullptr;
    QLineEdit* txtSogA = nullptr;
    QLineEdit* txtSogDal = nullptr;
    QLineEdit* txtSogAl = nullptr;
    QLineEdit* txtSogTEGM = nullptr;
    QLineEdit* txtSogMora = nullptr;  // the decree's default-interest surcharge, optional
    QPushButton* cmdSogNuovo = nullptr;
    QPushButton* cmdSogModifica = nullptr;
    QPushButton* cmdSogCancella = nullptr;
    QPushButton* cmdSogImporta = nullptr;
    QPushButton* cmdSogChiudi = nullptr;

signals:
    // A command changed the table.
    void thresholdsChanged();

private:
    void Build();
    void FillList();
    void RowClicked();
    void Run(bool (UsuryThresholdsEditor::*command)(const ThresholdsPanel&));
    void Import();
    void AfterChange();
    ThresholdsPanel Panel() const;

    UsuryThresholdsEditor editor_;
};

}  // namespace quotaplan
