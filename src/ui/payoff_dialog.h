#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/contract_event_store.h"
#include "output/payoff_statement_lines.h"
#include "ui/event_form.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QTreeWidget;

namespace quotaplan {

class DesktopShell;
class MessageBoxes;

// What the event dialogs need beside the contract: where a recorded event goes, the boxes
// their messages go to, the desktop that opens a written file, the Export folder, and the
// printer (nullptr: the system's default).
struct EventDialogServices {
    std::function<EventStoreResult(const ContractEvent&)> record;
    MessageBoxes* boxes = nullptr;
    DesktopShell* shell = nullptr;
    std::filesystem::path exportFolder;
    QPrinter* printer = nullptr;
    // The archive's reference rates with the value each has today, for a renegotiation
    // indexed anew ("Fisso" and rates without values left out).
    std::vector<std::pair<std::string, Percent>> referenceRates;
    // The TAEG the contract page shows for the plan in force ("" for none), shown beside a
    // renegotiated part's.
    std::string contractTaeg;
};

// "Estinzione": the early-payoff statement of the contract ("conteggio estintivo") on a date,
// worked out again at every change of the fields (the date, the method and its rate, the
// penalty, the costs to refund, the refund's criterion) and shown as the document's lines;
// "Stampa" and "File PDF" print and write it, "Registra" records the payoff, which ends the
// plan on the date (the dialog then closes accepted). A field that cannot be read, or a date
// the contract refuses, is said in red under the statement, and nothing can be printed or
// recorded until it is mended.
class PayoffDialog : public QDialog {
    Q_OBJECT
public:
    PayoffDialog(EventBasis basis, EventDialogServices services, QWidget* parent = nullptr);

    // The statement shown; nullopt while the fields give none.
    const std::optional<PayoffStatement>& Statement() const { return statement_; }

    void PrintStatementShown();
    void WriteStatementPdf();
    void RecordPayoff();

    QLineEdit* txtDataEstinzione = nullptr;
    QComboBox* cboMetodo = nullptr;
    QLineEdit* txtTassoAttualizzazione = nullptr;
    QComboBox* cboPenale = nullptr;
    QLineEdit* txtPenalePercentuale = nullptr;
    QLineEdit* txtCosti = nullptr;
    QComboBox* cboRimborso = nullptr;
    QLineEdit* txtNote = nullptr;
    QTreeWidget* lsvConteggio = nullptr;
    QLabel* lblEsito = nullptr;
    QPushButton* cmdStampa = nullptr;
    QPushButton* cmdPDF = nullptr;
    QPushButton* cmdRegistra = nullptr;

private:
    PayoffFormTexts ReadFields() const;
    // The statement of the fields as they are, written into the list.
    void Recompute();
    StatementDocument Document() const;

    EventBasis basis_;
    EventDialogServices services_;
    std::optional<ContractEvent> event_;
    std::optional<PayoffStatement> statement_;
};

}  // namespace quotaplan
