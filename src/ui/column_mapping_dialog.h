#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "data/bank_plan_file.h"

class QComboBox;
class QPushButton;
class QSettings;
class QTableWidget;

namespace quotaplan {

// The mapping of a bank plan's columns: the file's first rows, and above each column a list
// of what it may hold ("N.", "Scadenza", "Rata", "Quota capitale", "Quota interessi",
// "Debito residuo", "(non usata)"), set at first to the mapping given.
class ColumnMappingDialog : public QDialog {
    Q_OBJECT
public:
    ColumnMappingDialog(const SheetCells& sheet, const std::vector<BankColumn>& initial,
                        QWidget* parent = nullptr);

    // What each column was set to, in the file's order.
    std::vector<BankColumn> Mapping() const;

    QTableWidget* grdAnteprima = nullptr;
    std::vector<QComboBox*> cboColonne;  // objectName "cboColonna1", "cboColonna2", ...
    QPushButton* cmdColonneOk = nullptr;
    QPushButton* cmdColonneAnnulla = nullptr;
};

// The mapping the user last chose for files of this layout (BankLayoutKey), kept in the
// user's settings; nullopt when none was, or it no longer fits `columns` columns.
std::optional<std::vector<BankColumn>> RememberedMapping(QSettings& settings,
                                                         const std::string& layoutKey,
                                                         std::size_t columns);
void RememberMapping(QSettings& settings, const std::string& layoutKey,
                     const std::vector<BankColumn>& mapping);

}  // namespace quotaplan
