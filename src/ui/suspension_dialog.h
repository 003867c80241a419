#pragma once

#include <QDialog>
#include <optional>

#include "ui/event_form.h"
#include "ui/payoff_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace quotaplan {

// "Sospensione": a payment holiday from a due date, and what it makes of the plan, worked out
// again at every change of the fields (the date, the instalments suspended, "solo quota
// capitale" or "intera rata", the interest capitalised or deferred, the Fund's share): the
// residual, the interest suspended and the Fund's share of it, the instalment before and
// after, the last due date before and after. "Registra" records it (the dialog then closes
// accepted). A field that cannot be read, or a holiday the contract refuses, is said in red,
// and nothing can be recorded until it is mended.
class SuspensionDialog : public QDialog {
    Q_OBJECT
public:
    SuspensionDialog(EventBasis basis, EventDialogServices services, QWidget* parent = nullptr);

    // The figures shown; nullopt while the fields give none.
    const std::optional<SuspensionFigures>& Figures() const { return figures_; }

    void RecordSuspension();

    QLineEdit* txtDataSospensione = nullptr;
    QLineEdit* txtRateSospese = nullptr;
    QRadioButton* optSoloCapitale = nullptr;
    QRadioButton* optInteraRata = nullptr;
    QRadioButton* optCapitalizzati = nullptr;
    QRadioButton* optDifferiti = nullptr;
    QLineEdit* txtQuotaFondo = nullptr;
    QLineEdit* txtNote = nullptr;
    QTreeWidget* lsvEsito = nullptr;
    QLabel* lblEsito = nullptr;
    QPushButton* cmdRegistra = nullptr;

private:
    SuspensionFormTexts ReadFields() const;
    void Recompute();

    EventBasis basis_;
    EventDialogServices services_;
    std::optional<ContractEvent> event_;
    std::optional<SuspensionFigures> figures_;
};

// The lines the dialog shows for a holiday's figures: "Debito residuo", "Interessi sospesi",
// "a carico del Fondo" (only when there is a share), "Interessi capitalizzati" or "Interessi
// differiti" (a whole instalment suspended), "Rata" (before -> after), "Ultima scadenza"
// (before -> after).
std::vector<std::pair<std::string, std::string>> SuspensionLines(const SuspensionFigures& figures);

}  // namespace quotaplan
