#pragma once

#include <QDialog>
#include <optional>

#include "ui/event_form.h"
#include "ui/payoff_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace quotaplan {

// "Rinegoziazione": from a due date, a new rate, spread or reference rate, a new number of
// instalments or periodicity; with a lender's name a "Surroga". Worked out again at every
// change of the fields: the residual, the rate, the instalment and the instalments left
// before and after, and the TAEG of the renegotiated part. "Registra" records it (the dialog
// then closes accepted). A field that cannot be read, or a renegotiation the contract
// refuses, is said in red, and nothing can be recorded until it is mended.
class RenegotiationDialog : public QDialog {
    Q_OBJECT
public:
    RenegotiationDialog(EventBasis basis, EventDialogServices services,
                        QWidget* parent = nullptr);

    // The figures shown; nullopt while the fields give none.
    const std::optional<RenegotiationFigures>& Figures() const { return figures_; }

    void RecordRenegotiation();

    QLineEdit* txtDataRinegoziazione = nullptr;
    QLineEdit* txtNuovoTasso = nullptr;
    QLineEdit* txtNuovoSpread = nullptr;
    QComboBox* cboTassoRiferimento = nullptr;  // entry 0: none
    QLineEdit* txtNuovoNumeroRate = nullptr;
    QComboBox* cboPeriodicita = nullptr;  // entry 0: "invariata"
    QLineEdit* txtIstituto = nullptr;
    QLineEdit* txtNote = nullptr;
    QTreeWidget* lsvEsito = nullptr;
    QLabel* lblEsito = nullptr;
    QPushButton* cmdRegistra = nullptr;

private:
    RenegotiationFormTexts ReadFields() const;
    void Recompute();

    EventBasis basis_;
    EventDialogServices services_;
    std::optional<ContractEvent> event_;
    std::optional<RenegotiationFigures> figures_;
};

// The TAEG the contract had before a renegotiation, as the contract page shows it: the
// signed one, or after earlier events the one of the plan in force.
struct TaegBefore {
    std::string text;  // "" when none is shown
    bool afterEvents = false;
};

// The lines the dialog shows for a renegotiation: "Debito residuo", "Tasso", "Rata", "Rate
// residue" (each before -> after), "Periodicità" when it changes, "TAEG del contratto" (or
// "TAEG prima della rinegoziazione" after earlier events) when known, "TAEG della parte
// rinegoziata" (of `result`'s plan), and for a surrogation "Nuovo istituto" with the law's
// note.
std::vector<std::pair<std::string, std::string>> RenegotiationLines(
    const RenegotiationFigures& figures, const EventResult& result, const TaegBefore& before);

}  // namespace quotaplan
