#include "ui/prepayment_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "common/clock.h"
#include "common/number_text.h"
#include "ui/accessible_names.h"
#include "ui/event_dialog_parts.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;    // "#,##0.00"
constexpr int kLongDate = 2;  // "dd/mm/yyyy"

std::string Amount(Money amount) { return FormatNumber(amount.Units(), kAmount); }

}  // namespace

std::vector<std::pair<std::string, std::string>> PrepaymentLines(const PrepaymentFigures& figures) {
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back("Debito residuo", Amount(figures.residualBefore));
    lines.emplace_back("Importo rimborsato", Amount(figures.amount));
    if (!figures.accruedInterest.IsZero()) {
        lines.emplace_back("Interessi maturati", Amount(figures.accruedInterest));
    }
    lines.emplace_back(
        "Penale", Amount(figures.penalty.amount) + " - " + PenaltyOutcomeText(figures.penalty));
    lines.emplace_back("Debito dopo il rimborso", Amount(figures.residualAfter));
    lines.emplace_back("Rata",
                       Amount(figures.instalmentBefore) + " -> " + Amount(figures.instalmentAfter));
    lines.emplace_back("Rate residue", std::to_string(figures.instalmentsBefore) + " -> " +
                                           std::to_string(figures.instalmentsAfter));
    return lines;
}

PrepaymentDialog::PrepaymentDialog(EventBasis basis, EventDialogServices services, QWidget* parent)
    : QDialog(parent), basis_(std::move(basis)), services_(std::move(services)) {
    setObjectName(QStringLiteral("dlgRimborsoParziale"));
    setWindowTitle(QString::fromStdString("Rimborso parziale - " + basis_.description));
    setMinimumWidth(520);

    txtDataRimborso = NamedField("txtDataRimborso", this);
    txtDataRimborso->setText(QString::fromStdString(FormatDate(Today(), kLongDate)));
    txtImporto = NamedField("txtImporto", this);
    optRiduzioneRata = new QRadioButton(QStringLiteral("Riduzione della rata"), this);
    optRiduzioneRata->setObjectName(QStringLiteral("optRiduzioneRata"));
    optRiduzioneRata->setChecked(true);
    optRiduzioneDurata = new QRadioButton(QStringLiteral("Riduzione della durata"), this);
    optRiduzioneDurata->setObjectName(QStringLiteral("optRiduzioneDurata"));
    const PenaltyControls penalty = MakePenaltyControls(basis_.typePenalty, this);
    cboPenale = penalty.list;
    txtPenalePercentuale = penalty.percent;
    txtNote = NamedField("txtNote", this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Data del rimborso"), txtDataRimborso);
    form->addRow(QStringLiteral("Importo"), txtImporto);
    auto* effect = new QHBoxLayout;
    effect->addWidget(optRiduzioneRata);
    effect->addWidget(optRiduzioneDurata);
    form->addRow(QStringLiteral("Piano"), effect);
    form->addRow(QStringLiteral("Penale"), penalty.row);
    form->addRow(QStringLiteral("Note"), txtNote);

    const EventDialogFrame frame =
        LayOutEventDialog(this, form, QStringLiteral("Esito del rimborso parziale"), 160);
    lsvEsito = frame.figures;
    lblEsito = frame.refusal;
    cmdRegistra = frame.record;

    for (QLineEdit* field : {txtDataRimborso, txtImporto, txtPenalePercentuale}) {
        connect(field, &QLineEdit::textChanged, this, &PrepaymentDialog::Recompute);
    }
    connect(optRiduzioneDurata, &QRadioButton::toggled, this, &PrepaymentDialog::Recompute);
    connect(cboPenale, &QComboBox::currentIndexChanged, this, &PrepaymentDialog::Recompute);
    connect(cmdRegistra, &QPushButton::clicked, this, &PrepaymentDialog::RecordPrepayment);
    Recompute();
    NameInputs(this);
}

PrepaymentFormTexts PrepaymentDialog::ReadFields() const {
    PrepaymentFormTexts form;
    form.date = txtDataRimborso->text().toStdString();
    form.amount = txtImporto->text().toStdString();
    form.shortenTerm = optRiduzioneDurata->isChecked();
    form.penaltyEntry = cboPenale->currentIndex();
    form.penaltyPercent = txtPenalePercentuale->text().toStdString();
    form.note = txtNote->text().toStdString();
    return form;
}

void PrepaymentDialog::Recompute() {
    txtPenalePercentuale->setEnabled(cboPenale->currentIndex() == 3);
    const auto out = WorkOut<PrepaymentFigures>(basis_.termsInForce, basis_.plan,
                                                ReadPrepaymentForm(ReadFields()));
    event_ = out.event;
    figures_ = out.figures;
    ShowWorkedOut(lsvEsito, lblEsito, cmdRegistra,
                  out.figures ? PrepaymentLines(*out.figures)
                              : std::vector<std::pair<std::string, std::string>>{},
                  out.refusal);
}

void PrepaymentDialog::RecordPrepayment() {
    if (event_ && RecordShownEvent(services_, *event_)) accept();
}

}  // namespace quotaplan
