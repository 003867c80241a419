#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "common/calendar_date.h"
#include "data/portfolio_batch.h"
#include "output/portfolio_export.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace quotaplan {

class DesktopShell;
class MessageBoxes;

// "Verifica portafoglio": a batch file of contracts priced as quotaplan-calc --batch prices
// it, its progress shown with "Annulla", the answers in a grid (a line over the usury
// threshold in red, a failed line with its message) and "Esporta in Excel…" writing them to
// Export/Verifica portafoglio.xls.
class PortfolioCheckDialog : public QDialog {
    Q_OBJECT
public:
    // `shell` opens the exported file; none: it is written and not opened.
    PortfolioCheckDialog(MessageBoxes& boxes, DesktopShell* shell,
                         std::filesystem::path exportFolder, QWidget* parent = nullptr);

    // Prices every line of `file` (the thresholds of `usury` when given, a missing contract
    // date counting as `today`), keeping the window alive meanwhile; returns when the file
    // is done or "Annulla" was pressed (the lines answered so far stay in the grid). A file
    // that cannot be read, or is no batch, is shown in a box and leaves the grid empty.
    void Run(const std::filesystem::path& file, const UsuryBook* usury, CalendarDate today);

    // The lines answered, in the file's order.
    const std::vector<PortfolioRow>& Rows() const { return rows_; }

    QProgressBar* prgVerifica = nullptr;
    QPushButton* cmdAnnulla = nullptr;
    QTableWidget* grdRisultati = nullptr;
    QLabel* lblEsito = nullptr;
    QPushButton* cmdEsporta = nullptr;
    QPushButton* cmdChiudi = nullptr;

signals:
    // One more line answered (for tests that press Annulla midway).
    void answered(int count);

private:
    void AddRow(const PortfolioRow& row);
    void ExportRows();

    MessageBoxes& boxes_;
    DesktopShell* shell_;
    std::filesystem::path exportFolder_;
    std::vector<PortfolioRow> rows_;
    bool cancelled_ = false;
};

// A batch answer as the grid and the export show it.
PortfolioRow PortfolioRowOf(const BatchAnswer& answer);

}  // namespace quotaplan
