#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "data/bank_plan_file.h"
#include "output/review_report.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;
class QTableWidget;

namespace quotaplan {

class DesktopShell;
class MessageBoxes;
class ReviewArchive;

// The contract a review window examines: its facts as the window holds them (the plan to the
// cent in `facts.ours`, the verdicts) and where they live.
struct ReviewSubject {
    std::int32_t contractId = 0;  // 0: not stored, so the bank's plan is not kept
    ReviewFacts facts;
    CentsPlan plan;
};

// Asks which column holds what; nullopt when the user cancels. The window's opens
// ColumnMappingDialog; tests answer without a dialog.
using MappingChooser = std::function<std::optional<std::vector<BankColumn>>(
    const SheetCells& sheet, const std::vector<BankColumn>& proposed)>;

// The expert review ("Perizia"), opened from the main window's menu on the contract shown:
// importing the bank's plan (a file, its columns mapped, the mapping remembered for files of
// the same layout, the plan stored with a stored contract), the grid of the bank's plan beside
// Quotaplan's with the differences on a red ground and the totals, a recomputation on demand
// with the legal interest up to a date, and the report as PDF, printout or Word document. The
// rules live in the engine (ComparePlans, Recompute, LegalInterest) and the report in
// output; this window reads its fields and shows their results.
class ReviewDialog : public QDialog {
    Q_OBJECT
public:
    ReviewDialog(ReviewSubject subject, ReviewArchive* archive, MessageBoxes& boxes,
                 DesktopShell& shell, QSettings& settings, QWidget* parent = nullptr);

    void SetMappingChooser(MappingChooser chooser) { chooseMapping_ = std::move(chooser); }
    void SetExportFolder(std::filesystem::path folder) { exportFolder_ = std::move(folder); }

    // Reads the bank's plan from the file with the mapping remembered for its layout, or
    // proposed from its header and confirmed by the chooser; shows the comparison and stores
    // the plan with a stored contract. False, showing why, when the file cannot be read.
    bool ImportBankPlan(const std::filesystem::path& file);
    // The recomputation chosen in cboRicalcolo, against the bank's plan (or the contract's),
    // with the legal interest up to txtLegaliAl when it holds a date.
    void RecomputeChosen();
    // The report of what the window shows, dated `today`.
    ReportDocument Report(CalendarDate today) const;
    const ReviewFacts& Facts() const { return subject_.facts; }

    QLabel* lblPerContratto = nullptr;
    QPushButton* cmdImportaBanca = nullptr;
    QTableWidget* grdConfronto = nullptr;
    QLabel* lblTotali = nullptr;
    QComboBox* cboRicalcolo = nullptr;
    QLineEdit* txtLegaliAl = nullptr;
    QPushButton* cmdRicalcola = nullptr;
    QPushButton* cmdTassiLegali = nullptr;
    QLabel* lblRicalcolo = nullptr;
    QPushButton* cmdPeriziaPdf = nullptr;
    QPushButton* cmdPeriziaStampa = nullptr;
    QPushButton* cmdPeriziaWord = nullptr;
    QPushButton* cmdPeriziaChiudi = nullptr;

private:
    void Build();
    void ShowComparison();
    void ChooseBankFile();
    void ImportLegalRates();
    void WritePdf();
    void WriteWord();
    void Print();

    ReviewSubject subject_;
    ReviewArchive* archive_;
    MessageBoxes& boxes_;
    DesktopShell& shell_;
    QSettings& settings_;
    MappingChooser chooseMapping_;
    std::filesystem::path exportFolder_;
};

}  // namespace quotaplan
