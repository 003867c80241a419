#include "ui/renegotiation_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "common/clock.h"
#include "common/number_text.h"
#include "engine/periodicity.h"
#include "ui/accessible_names.h"
#include "ui/event_dialog_parts.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;    // "#,##0.00"
constexpr int kLongDate = 2;  // "dd/mm/yyyy"

std::string Amount(Money amount) { return FormatNumber(amount.Units(), kAmount); }

std::string PeriodicityName(std::int16_t periodsPerYear) {
    for (std::size_t k = 0; k < kPeriodsPerYear.size(); ++k) {
        if (kPeriodsPerYear[k] == periodsPerYear) return std::string(kPeriodicityCaptions[k]);
    }
    return std::to_string(periodsPerYear) + " rate l'anno";
}

}  // namespace

std::vector<std::pair<std::string, std::string>> RenegotiationLines(
    const RenegotiationFigures& figures, const EventResult& result, const TaegBefore& before) {
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back("Debito residuo", Amount(figures.residual));
    lines.emplace_back("Tasso",
                       PercentText(figures.rateBefore) + " -> " + PercentText(figures.rateAfter));
    lines.emplace_back("Rata",
                       Amount(figures.instalmentBefore) + " -> " + Amount(figures.instalmentAfter));
    lines.emplace_back("Rate residue", std::to_string(figures.countBefore) + " -> " +
                                           std::to_string(figures.countAfter));
    if (figures.periodsBefore != figures.periodsAfter) {
        lines.emplace_back("Periodicità", PeriodicityName(figures.periodsBefore) + " -> " +
                                              PeriodicityName(figures.periodsAfter));
    }
    if (!before.text.empty()) {
        lines.emplace_back(before.afterEvents ? "TAEG prima della rinegoziazione"
                                              : "TAEG del contratto",
                           before.text);
    }
    const TaegSolution taeg =
        RenegotiatedTaeg(result.plan, result.keptInstalments, figures.date, figures.residual);
    lines.emplace_back("TAEG della parte rinegoziata",
                       taeg.rate ? PercentText(TaegPercent(*taeg.rate)) : std::string("-"));
    if (!figures.options.lender.empty()) {
        lines.emplace_back("Nuovo istituto", figures.options.lender);
        lines.emplace_back("", kSurrogationNote);
    }
    return lines;
}

RenegotiationDialog::RenegotiationDialog(EventBasis basis, EventDialogServices services,
                                         QWidget* parent)
    : QDialog(parent), basis_(std::move(basis)), services_(std::move(services)) {
    setObjectName(QStringLiteral("dlgRinegoziazione"));
    setWindowTitle(QString::fromStdString("Rinegoziazione - " + basis_.description));
    setMinimumWidth(520);

    txtDataRinegoziazione = NamedField("txtDataRinegoziazione", this);
    txtDataRinegoziazione->setText(QString::fromStdString(FormatDate(Today(), kLongDate)));
    txtNuovoTasso = NamedField("txtNuovoTasso", this);
    txtNuovoSpread = NamedField("txtNuovoSpread", this);
    QStringList rates{QStringLiteral("nessuno")};
    for (const auto& [name, value] : services_.referenceRates) {
        rates << QString::fromStdString(name + " (" + PercentText(value) + ")");
    }
    cboTassoRiferimento = NamedList("cboTassoRiferimento", rates, this);
    txtNuovoNumeroRate = NamedField("txtNuovoNumeroRate", this);
    QStringList periodicities;
    for (int entry = 0; entry < PeriodicityEntries(); ++entry) {
        periodicities << QString::fromStdString(PeriodicityEntry(entry));
    }
    cboPeriodicita = NamedList("cboPeriodicita", periodicities, this);
    txtIstituto = NamedField("txtIstituto", this);
    txtIstituto->setPlaceholderText(QStringLiteral("solo per una surroga"));
    txtNote = NamedField("txtNote", this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Dalla scadenza del"), txtDataRinegoziazione);
    form->addRow(QStringLiteral("Nuovo tasso (senza spread)"), txtNuovoTasso);
    form->addRow(QStringLiteral("Nuovo spread"), txtNuovoSpread);
    form->addRow(QStringLiteral("Nuovo tasso di riferimento"), cboTassoRiferimento);
    form->addRow(QStringLiteral("Nuovo numero di rate"), txtNuovoNumeroRate);
    form->addRow(QStringLiteral("Nuova periodicità"), cboPeriodicita);
    form->addRow(QStringLiteral("Nuovo istituto (surroga)"), txtIstituto);
    form->addRow(QStringLiteral("Note"), txtNote);

    const EventDialogFrame frame =
        LayOutEventDialog(this, form, QStringLiteral("Esito della rinegoziazione"), 150);
    lsvEsito = frame.figures;
    lblEsito = frame.refusal;
    cmdRegistra = frame.record;

    for (QLineEdit* field :
         {txtDataRinegoziazione, txtNuovoTasso, txtNuovoSpread, txtNuovoNumeroRate, txtIstituto}) {
        connect(field, &QLineEdit::textChanged, this, &RenegotiationDialog::Recompute);
    }
    for (QComboBox* list : {cboTassoRiferimento, cboPeriodicita}) {
        connect(list, &QComboBox::currentIndexChanged, this, &RenegotiationDialog::Recompute);
    }
    connect(cmdRegistra, &QPushButton::clicked, this, &RenegotiationDialog::RecordRenegotiation);
    Recompute();
    NameInputs(this);
}

RenegotiationFormTexts RenegotiationDialog::ReadFields() const {
    RenegotiationFormTexts form;
    form.date = txtDataRinegoziazione->text().toStdString();
    form.rate = txtNuovoTasso->text().toStdString();
    form.spread = txtNuovoSpread->text().toStdString();
    const int reference = cboTassoRiferimento->currentIndex();
    if (reference > 0 && reference <= static_cast<int>(services_.referenceRates.size())) {
        form.referenceRate =
            services_.referenceRates[static_cast<std::size_t>(reference - 1)].second;
    }
    form.count = txtNuovoNumeroRate->text().toStdString();
    form.periodicity = cboPeriodicita->currentIndex();
    form.lender = txtIstituto->text().toStdString();
    form.note = txtNote->text().toStdString();
    return form;
}

void RenegotiationDialog::Recompute() {
    const auto out = WorkOut<RenegotiationFigures>(basis_.termsInForce, basis_.plan,
                                                   ReadRenegotiationForm(ReadFields()));
    event_ = out.event;
    figures_ = out.figures;
    ShowWorkedOut(lsvEsito, lblEsito, cmdRegistra,
                  out.figures ? RenegotiationLines(*out.figures, *out.result,
                                                   {services_.contractTaeg, !basis_.events.empty()})
                              : std::vector<std::pair<std::string, std::string>>{},
                  out.refusal);
}

void RenegotiationDialog::RecordRenegotiation() {
    if (event_ && RecordShownEvent(services_, *event_)) accept();
}

}  // namespace quotaplan
