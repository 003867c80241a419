#pragma once

#include <QDialog>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/yearly_statement.h"
#include "output/export_result.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace quotaplan {

class DesktopShell;
class MessageBoxes;
class WindowArchive;

// "Prospetto annuale": per calendar year what falls due (capital, interest, fees and the
// total paid, the interest being what a mortgage holder declares), for the whole archive or
// one financing type chosen in the list, or for one contract. "Esporta in Excel" and "File
// PDF" write it to the Export folder and open it. A query that fails is said under the grid.
class YearlyStatementDialog : public QDialog {
    Q_OBJECT
public:
    // The whole archive and its financing types.
    YearlyStatementDialog(WindowArchive& archive, MessageBoxes& boxes, DesktopShell* shell,
                          std::filesystem::path exportFolder, QWidget* parent = nullptr);
    // One stored contract, by its ID and description.
    YearlyStatementDialog(WindowArchive& archive, MessageBoxes& boxes, DesktopShell* shell,
                          std::filesystem::path exportFolder, std::int32_t contractId,
                          const std::string& description, QWidget* parent = nullptr);

    const std::vector<YearFigures>& Years() const { return years_; }

    // The years read again for the scope chosen.
    void Refresh();
    void ExportExcel();
    void ExportPdf();

    QComboBox* cboAmbito = nullptr;  // entry 0: "Tutto l'archivio", then the types
    QTreeWidget* lsvProspetto = nullptr;
    QLabel* lblEsito = nullptr;
    QPushButton* cmdExcel = nullptr;
    QPushButton* cmdPDF = nullptr;

private:
    void Build();
    std::string Scope() const;
    void Opened(const ExportResult& written);

    WindowArchive& archive_;
    MessageBoxes& boxes_;
    DesktopShell* shell_;
    std::filesystem::path exportFolder_;
    std::optional<std::int32_t> contractId_;
    std::vector<YearFigures> years_;
};

}  // namespace quotaplan
