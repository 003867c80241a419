#pragma once

#include <QDialog>
#include <optional>

#include "ui/event_form.h"
#include "ui/payoff_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace quotaplan {

// "Rimborso parziale": a partial prepayment on a date, and what it makes of the plan,
// worked out again at every change of the fields (the date, the amount, lower instalment or
// shorter term, the penalty): the residual before and after, the interest accrued on the
// amount, the penalty with its rule, the instalment and the instalments left before and
// after. "Registra" records it, which re-derives the plan from the date (the dialog then
// closes accepted). A field that cannot be read, or a prepayment the contract refuses, is said
// in red, and nothing can be recorded until it is mended.
class PrepaymentDialog : public QDialog {
    Q_OBJECT
public:
    PrepaymentDialog(EventBasis basis, EventDialogServices services, QWidget* parent = nullptr);

    // The figures shown; nullopt while the fields give none.
    const std::optional<PrepaymentFigures>& Figures() const { return figures_; }

    void RecordPrepayment();

    QLineEdit* txtDataRimborso = nullptr;
    QLineEdit* txtImporto = nullptr;
    QRadioButton* optRiduzioneRata = nullptr;
    QRadioButton* optRiduzioneDurata = nullptr;
    QComboBox* cboPenale = nullptr;
    QLineEdit* txtPenalePercentuale = nullptr;
    QLineEdit* txtNote = nullptr;
    QTreeWidget* lsvEsito = nullptr;
    QLabel* lblEsito = nullptr;
    QPushButton* cmdRegistra = nullptr;

private:
    PrepaymentFormTexts ReadFields() const;
    void Recompute();

    EventBasis basis_;
    EventDialogServices services_;
    std::optional<ContractEvent> event_;
    std::optional<PrepaymentFigures> figures_;
};

// The lines the dialog shows for a prepayment's figures, label and value: "Debito residuo",
// "Importo rimborsato", "Interessi maturati" (only when there are), "Penale" (amount - rule),
// "Debito dopo il rimborso", "Rata" (before -> after), "Rate residue" (before -> after).
std::vector<std::pair<std::string, std::string>> PrepaymentLines(const PrepaymentFigures& figures);

}  // namespace quotaplan
