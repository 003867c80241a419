#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/program_folder.h"
#include "engine/money.h"
#include "output/contract_header.h"
#include "output/export_result.h"
#include "output/plan_print.h"

class QLabel;
class QPrinter;
class QPushButton;

namespace quotaplan {

class ContractEventStore;
class ContractEventsPanel;
class ContractPage;
class DesktopShell;
class MessageBoxes;
class PlanGrid;

// Page 1, "Piano finanziario": the plan grid, the export hint, the four export buttons
// (text file, .xls workbook, .doc document, PDF with the chart), the print preview and the
// print button.
class PlanPage : public QWidget {
    Q_OBJECT
public:
    explicit PlanPage(QWidget* parent = nullptr);

    // What the four commands work with: the contract page (its form for the heading block
    // and the description, its plan for the exported lines), the boxes their messages go to
    // and the desktop that opens the written files. Whatever is not given here is taken from
    // the main window the page sits in, at the first command; a page in no main window and
    // given nothing does nothing.
    void ConnectCommands(const ContractPage& contract, MessageBoxes& boxes, DesktopShell& shell);
    void SetDesktopShell(DesktopShell& shell) { shell_ = &shell; }

    // Where the Word template is read and the Export folder lies: the program's own unless
    // changed (tests use a temporary folder).
    void SetProgramFiles(ProgramFiles files) { files_ = std::move(files); }
    std::filesystem::path ExportFolder() const { return files_.ExportFolder(); }

    // The printer "Stampa" prints on; nullptr, the default, is the system's default printer.
    void SetPrinter(QPrinter* printer) { printer_ = printer; }

    // The events panel works on the events kept in `store` (nullptr: none), its dialogs with
    // this page's boxes, desktop, Export folder and printer.
    // `referenceRates`: the archive's reference rates with their value today, asked for as
    // a renegotiation opens.
    void ConnectEvents(ContractEventStore* store,
                       std::function<std::vector<std::pair<std::string, Percent>>()>
                           referenceRates = {});

    // The heading block of the exports, from the form as it is now. Reads the controls
    // only; an empty block when no contract page is connected.
    ContractHeader GetContractHeader() const;

    // Shows "Piano non aggiornato: premere Calcola" in place of the export hint while the plan
    // no longer matches the contract form (ContractPage::CurrentPlanState), the hint otherwise.
    // Runs each time the page is shown, and when the window changes the plan.
    void ShowPlanState();

    // The click handlers: cmdText, cmdExcel, cmdWord, cmdPDF, cmdPrintPDA. Each, and the
    // preview, refuses a stale plan with DocumentRefusal's message instead of writing a
    // document whose heading and rows describe two contracts.
    void ExportTextFile();
    void ExportExcelFile();
    void ExportWordFile();
    void ExportPdfFile();
    void PrintPlan();
    // cmdAnteprima: Qt's print preview of exactly what PrintPlan prints, on the same printer,
    // opened without blocking (window-modal); its print command opens the print dialog and
    // prints those pages on the printer, in the copies and the page range chosen there.
    // Below three grid rows, the message of PrintPlan instead.
    void PreviewPlan();

    PlanGrid* fgrPDA = nullptr;
    QPushButton* cmdText = nullptr;
    QPushButton* cmdExcel = nullptr;
    QPushButton* cmdWord = nullptr;
    QPushButton* cmdPDF = nullptr;
    QPushButton* cmdAnteprima = nullptr;
    QPushButton* cmdPrintPDA = nullptr;
    QLabel* lblPianoNonAggiornato = nullptr;
    // Under the grid: the stored contract's events and their commands.
    ContractEventsPanel* fraEventi = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class ExportKind { Text, Excel, Word, Pdf };
    // The button sequence around WriteExport: busy pointer, the file opened, a box on failure.
    void RunExport(ExportKind kind);
    // Writes the export of the current form and plan; an exception becomes a WriteError.
    ExportResult WriteExport(ExportKind kind) const;
    // What "Stampa" and "Anteprima" print: the grid as shown, the description and the TAEG
    // of the form, today's date.
    GridPrintContent PrintContent() const;
    // Shows the result of printing, when it is not a success.
    void ReportPrint(const PrintResult& result);
    // Fills in from the main window what was not connected; true when all is there.
    bool Connected();
    // The contract page the commands work with: the connected one, or the main window's.
    const ContractPage* ContractShown() const;
    // Shows the refusal of a stale plan; true when the command must stop.
    bool RefusedAsStale();

    const ContractPage* contract_ = nullptr;
    MessageBoxes* boxes_ = nullptr;
    DesktopShell* shell_ = nullptr;
    QPrinter* printer_ = nullptr;
    ProgramFiles files_;
    QLabel* exportHint_ = nullptr;
};

}  // namespace quotaplan
