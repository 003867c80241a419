#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "ui/lookup_editor.h"

class QDialog;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSettings;
class QTreeWidget;

namespace quotaplan {

class GrowingLayout;
class PortfolioCheckDialog;
class MessageBoxes;
class WindowArchive;
struct PortfolioSummary;

// Page 2, "Stato": the lookup-table editor and the frame "Dati di Riepilogo" with the
// portfolio summary. The editor's rules live in LookupEditor; after a change the page
// asks the window for the refresh that spans the other pages (lookupsChanged).
class StatusPage : public QWidget {
    Q_OBJECT
public:
    StatusPage(WindowArchive& archive, MessageBoxes& boxes, QWidget* parent = nullptr);

    // lstSupTab refilled with the lookup tables (names without "sup"), nothing selected.
    void FillTableList();
    // Selects entry `row` of lstSupTab and runs its click: the values of that table,
    // txtValue and txtValueID emptied. A row the list lacks selects nothing.
    void SelectTable(int row);
    // The same for the entry with that text; the second entry when the list has none.
    void SelectTable(const QString& entry);

    // "Soglie d'usura…" and "Valori storici…" open at the size they had when last closed,
    // kept in `settings` (which must outlive the page). Without this they keep nothing.
    void RememberDialogSizes(QSettings& settings) { settings_ = &settings; }

    // RefreshSummary: the three figures read again. A query that fails is shown in words
    // and leaves the frame empty.
    void RefreshSummary();
    void ShowSummary(const PortfolioSummary& summary);

    QListWidget* lstSupTab = nullptr;
    QListWidget* lstSupVal = nullptr;
    QLineEdit* txtValue = nullptr;
    QLineEdit* txtValueID = nullptr;
    QPushButton* cmdSupNew = nullptr;
    QPushButton* cmdSupEdit = nullptr;
    QPushButton* cmdSupDel = nullptr;
    // The dated values of the reference rate chosen in lstSupVal (ReferenceValuesDialog);
    // enabled while a value of the table TxRiferimento is chosen.
    QPushButton* cmdValTxRif = nullptr;
    // The usury thresholds (UsuryThresholdsDialog), under the list of the tables.
    QPushButton* cmdSoglieUsura = nullptr;
    // The usury category of the financing type chosen in lstSupVal, under the values;
    // enabled while a value of the table Tipologia is chosen.
    QPushButton* cmdCatUsura = nullptr;
    QGroupBox* fraSummary = nullptr;
    QLineEdit* txtTassoMedio = nullptr;
    QLineEdit* txtDebitoResiduo = nullptr;
    QTreeWidget* lstCanoni = nullptr;
    QPushButton* cmdAggiorna = nullptr;
    // "Verifica portafoglio…": a batch file of contracts priced and judged against the usury
    // thresholds (PortfolioCheckDialog).
    QPushButton* cmdVerifica = nullptr;
    // "Aggiorna contratti indicizzati": every indexed contract re-derived with the values of
    // its reference rate (WindowArchive::ReindexPortfolio), with progress and "Annulla".
    QPushButton* cmdReindicizza = nullptr;
    // "Prospetto annuale…": the yearly statement of the archive or of a financing type
    // (YearlyStatementDialog, a child of the page, window-modal).
    QPushButton* cmdProspetto = nullptr;

    // The batch file "Verifica portafoglio…" prices: a file dialog unless a test sets it;
    // an empty answer does nothing.
    std::function<QString()> chooseBatchFile;
    // Where "Esporta in Excel…" of the check writes; the window's Export folder.
    std::function<std::filesystem::path()> exportFolder;
    // The check last opened, nullptr before any.
    PortfolioCheckDialog* PortfolioCheck() const { return portfolioCheck_; }

signals:
    // A command of the editor ended with the refresh: the window rebuilds the tree, the
    // table list and the combos, clears the form, then selects the table `entry` again
    // (SelectTable).
    void lookupsChanged(const QString& entry);
    // The values of a reference rate changed.
    void referenceValuesChanged();
    // The usury thresholds or a type's usury category changed.
    void usuryChanged();
    // "Verifica portafoglio…" made its window, about to price the file.
    void portfolioCheckOpened(PortfolioCheckDialog* check);

private:
    void BuildEditor(GrowingLayout& growing);
    void BuildSummary(GrowingLayout& growing);
    void TableClicked();
    void ValueClicked();
    void RunCommand(LookupCommandEnd (LookupEditor::*command)(const LookupPanel&));
    void FillValues();
    LookupPanel Panel() const;
    void ShowFailure(const std::exception& failure);
    void UpdateValuesButton();
    void CheckPortfolio();
    void ReindexPortfolio();
    void OpenYearlyStatement();
    void OpenReferenceValues();
    void OpenUsuryThresholds();
    // The dialog at its kept size, and its size kept when it closes.
    void KeepSize(QDialog& dialog);

    WindowArchive& archive_;
    MessageBoxes& boxes_;
    LookupEditor editor_;
    QSettings* settings_ = nullptr;
    PortfolioCheckDialog* portfolioCheck_ = nullptr;
};

}  // namespace quotaplan
