#include "ui/suspension_dialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
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

QRadioButton* NamedOption(const char* name, const QString& caption, QWidget* parent) {
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(QString::fromLatin1(name));
    return option;
}

// Two options side by side, one group of their own.
QHBoxLayout* OptionPair(QRadioButton* first, QRadioButton* second, QWidget* parent) {
    auto* group = new QButtonGroup(parent);
    group->addButton(first);
    group->addButton(second);
    first->setChecked(true);
    auto* row = new QHBoxLayout;
    row->addWidget(first);
    row->addWidget(second);
    row->addStretch(1);
    return row;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> SuspensionLines(const SuspensionFigures& figures) {
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back("Debito residuo", Amount(figures.residual));
    lines.emplace_back("Interessi sospesi", Amount(figures.suspendedInterest));
    if (!figures.fundInterest.IsZero()) {
        lines.emplace_back("a carico del Fondo", Amount(figures.fundInterest));
    }
    if (figures.options.kind == SuspensionKind::Whole) {
        if (figures.options.interest == SuspendedInterest::Capitalised) {
            lines.emplace_back("Interessi capitalizzati", Amount(figures.capitalised));
        } else {
            lines.emplace_back("Interessi differiti", Amount(figures.deferred));
        }
    }
    lines.emplace_back("Rata",
                       Amount(figures.instalmentBefore) + " -> " + Amount(figures.instalmentAfter));
    lines.emplace_back("Ultima scadenza", FormatDate(figures.lastDueBefore, kLongDate) + " -> " +
                                              FormatDate(figures.lastDueAfter, kLongDate));
    return lines;
}

SuspensionDialog::SuspensionDialog(EventBasis basis, EventDialogServices services, QWidget* parent)
    : QDialog(parent), basis_(std::move(basis)), services_(std::move(services)) {
    setObjectName(QStringLiteral("dlgSospensione"));
    setWindowTitle(QString::fromStdString("Sospensione - " + basis_.description));
    setMinimumWidth(520);

    txtDataSospensione = NamedField("txtDataSospensione", this);
    txtDataSospensione->setText(QString::fromStdString(FormatDate(Today(), kLongDate)));
    txtRateSospese = NamedField("txtRateSospese", this);
    txtRateSospese->setText(QStringLiteral("1"));
    optSoloCapitale = NamedOption("optSoloCapitale", QStringLiteral("solo quota capitale"), this);
    optInteraRata = NamedOption("optInteraRata", QStringLiteral("intera rata"), this);
    optCapitalizzati = NamedOption("optCapitalizzati", QStringLiteral("capitalizzati"), this);
    optDifferiti = NamedOption("optDifferiti", QStringLiteral("differiti"), this);
    txtQuotaFondo = NamedField("txtQuotaFondo", this);
    txtNote = NamedField("txtNote", this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Dalla rata del"), txtDataSospensione);
    form->addRow(QStringLiteral("Rate sospese (da 1 a 36)"), txtRateSospese);
    form->addRow(QStringLiteral("Sospensione"), OptionPair(optSoloCapitale, optInteraRata, this));
    form->addRow(QStringLiteral("Interessi"), OptionPair(optCapitalizzati, optDifferiti, this));
    form->addRow(QStringLiteral("Quota del Fondo in %"), txtQuotaFondo);
    form->addRow(QStringLiteral("Note"), txtNote);

    const EventDialogFrame frame =
        LayOutEventDialog(this, form, QStringLiteral("Esito della sospensione"), 140);
    lsvEsito = frame.figures;
    lblEsito = frame.refusal;
    cmdRegistra = frame.record;

    for (QLineEdit* field : {txtDataSospensione, txtRateSospese, txtQuotaFondo}) {
        connect(field, &QLineEdit::textChanged, this, &SuspensionDialog::Recompute);
    }
    for (QRadioButton* option : {optInteraRata, optDifferiti}) {
        connect(option, &QRadioButton::toggled, this, &SuspensionDialog::Recompute);
    }
    connect(cmdRegistra, &QPushButton::clicked, this, &SuspensionDialog::RecordSuspension);
    Recompute();
    NameInputs(this);
}

SuspensionFormTexts SuspensionDialog::ReadFields() const {
    SuspensionFormTexts form;
    form.date = txtDataSospensione->text().toStdString();
    form.instalments = txtRateSospese->text().toStdString();
    form.wholeInstalment = optInteraRata->isChecked();
    form.deferInterest = optDifferiti->isChecked();
    form.fundShare = txtQuotaFondo->text().toStdString();
    form.note = txtNote->text().toStdString();
    return form;
}

void SuspensionDialog::Recompute() {
    // Only a whole instalment suspended leaves interest to capitalise or defer.
    optCapitalizzati->setEnabled(optInteraRata->isChecked());
    optDifferiti->setEnabled(optInteraRata->isChecked());
    const auto out = WorkOut<SuspensionFigures>(basis_.termsInForce, basis_.plan,
                                                ReadSuspensionForm(ReadFields()));
    event_ = out.event;
    figures_ = out.figures;
    ShowWorkedOut(lsvEsito, lblEsito, cmdRegistra,
                  out.figures ? SuspensionLines(*out.figures)
                              : std::vector<std::pair<std::string, std::string>>{},
                  out.refusal);
}

void SuspensionDialog::RecordSuspension() {
    if (event_ && RecordShownEvent(services_, *event_)) accept();
}

}  // namespace quotaplan
