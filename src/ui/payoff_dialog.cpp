#include "ui/payoff_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/clock.h"
#include "common/desktop_shell.h"
#include "common/message_boxes.h"
#include "common/number_text.h"
#include "common/program_info.h"
#include "output/statement_pdf.h"
#include "ui/accessible_names.h"
#include "ui/event_dialog_parts.h"

namespace quotaplan {
namespace {

constexpr int kLongDate = 2;  // "dd/mm/yyyy"

}  // namespace

PayoffDialog::PayoffDialog(EventBasis basis, EventDialogServices services, QWidget* parent)
    : QDialog(parent), basis_(std::move(basis)), services_(std::move(services)) {
    setObjectName(QStringLiteral("dlgEstinzione"));
    setWindowTitle(QString::fromStdString("Estinzione - " + basis_.description));
    setMinimumWidth(560);

    txtDataEstinzione = NamedField("txtDataEstinzione", this);
    txtDataEstinzione->setText(QString::fromStdString(FormatDate(Today(), kLongDate)));
    cboMetodo = NamedList("cboMetodo",
                          {QStringLiteral("Capitale residuo e interessi maturati"),
                           QStringLiteral("Attualizzazione delle rate")},
                          this);
    txtTassoAttualizzazione = NamedField("txtTassoAttualizzazione", this);
    txtTassoAttualizzazione->setPlaceholderText(QStringLiteral("tasso effettivo del contratto"));
    const PenaltyControls penalty = MakePenaltyControls(basis_.typePenalty, this);
    cboPenale = penalty.list;
    txtPenalePercentuale = penalty.percent;
    txtCosti = NamedField("txtCosti", this);
    txtCosti->setPlaceholderText(QStringLiteral("0,00"));
    cboRimborso = NamedList(
        "cboRimborso",
        {QStringLiteral("Curva degli interessi"), QStringLiteral("Pro rata temporis")}, this);
    txtNote = NamedField("txtNote", this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Data di estinzione"), txtDataEstinzione);
    form->addRow(QStringLiteral("Metodo"), cboMetodo);
    form->addRow(QStringLiteral("Tasso di attualizzazione %"), txtTassoAttualizzazione);
    form->addRow(QStringLiteral("Penale"), penalty.row);
    form->addRow(QStringLiteral("Altri costi iniziali"), txtCosti);
    form->addRow(QStringLiteral("Rimborso dei costi"), cboRimborso);
    form->addRow(QStringLiteral("Note"), txtNote);

    lsvConteggio = FiguresList("lsvConteggio", QStringLiteral("Conteggio estintivo"), 200, this);
    lblEsito = RefusalLabel(this);

    cmdStampa = NamedButton("cmdStampa", QStringLiteral("Stampa"), this);
    cmdPDF = NamedButton("cmdPDF", QStringLiteral("File PDF"), this);
    cmdRegistra = NamedButton("cmdRegistra", QStringLiteral("Registra"), this);
    auto* cmdChiudi = NamedButton("cmdChiudi", QStringLiteral("Chiudi"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdStampa);
    buttons->addWidget(cmdPDF);
    buttons->addStretch(1);
    buttons->addWidget(cmdRegistra);
    buttons->addWidget(cmdChiudi);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lsvConteggio, 1);
    layout->addWidget(lblEsito);
    layout->addLayout(buttons);

    for (QLineEdit* field :
         {txtDataEstinzione, txtTassoAttualizzazione, txtPenalePercentuale, txtCosti}) {
        connect(field, &QLineEdit::textChanged, this, &PayoffDialog::Recompute);
    }
    for (QComboBox* list : {cboMetodo, cboPenale, cboRimborso}) {
        connect(list, &QComboBox::currentIndexChanged, this, &PayoffDialog::Recompute);
    }
    connect(cmdStampa, &QPushButton::clicked, this, &PayoffDialog::PrintStatementShown);
    connect(cmdPDF, &QPushButton::clicked, this, &PayoffDialog::WriteStatementPdf);
    connect(cmdRegistra, &QPushButton::clicked, this, &PayoffDialog::RecordPayoff);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
    Recompute();
    NameInputs(this);
}

PayoffFormTexts PayoffDialog::ReadFields() const {
    PayoffFormTexts form;
    form.date = txtDataEstinzione->text().toStdString();
    form.discount = cboMetodo->currentIndex() == 1;
    form.discountRate = txtTassoAttualizzazione->text().toStdString();
    form.penaltyEntry = cboPenale->currentIndex();
    form.penaltyPercent = txtPenalePercentuale->text().toStdString();
    form.costs = txtCosti->text().toStdString();
    form.proRata = cboRimborso->currentIndex() == 1;
    form.note = txtNote->text().toStdString();
    return form;
}

void PayoffDialog::Recompute() {
    txtTassoAttualizzazione->setEnabled(cboMetodo->currentIndex() == 1);
    txtPenalePercentuale->setEnabled(cboPenale->currentIndex() == 3);
    event_.reset();
    statement_.reset();
    lsvConteggio->clear();
    std::string refusal;
    const auto read = ReadPayoffForm(ReadFields());
    if (const auto* event = std::get_if<ContractEvent>(&read)) {
        try {
            const auto applied = ApplyEvent(basis_.termsInForce, basis_.plan, *event);
            if (const auto* result = std::get_if<EventResult>(&applied)) {
                event_ = *event;
                statement_ = std::get<PayoffStatement>(result->figures);
            } else {
                refusal = std::get<EventRefusal>(applied).message;
            }
        } catch (const std::exception& error) {
            refusal = error.what();
        }
    } else {
        refusal = std::get<EventRefusal>(read).message;
    }
    if (statement_) {
        for (const auto& [label, value] : Document().lines) {
            auto* item = new QTreeWidgetItem(
                lsvConteggio, {QString::fromStdString(label), QString::fromStdString(value)});
            if (label == "Totale da pagare") {
                QFont bold = item->font(0);
                bold.setBold(true);
                item->setFont(0, bold);
                item->setFont(1, bold);
            }
        }
    }
    lblEsito->setText(QString::fromStdString(refusal));
    for (QPushButton* button : {cmdStampa, cmdPDF, cmdRegistra}) {
        button->setEnabled(statement_.has_value());
    }
}

StatementDocument PayoffDialog::Document() const {
    return PayoffStatementDocument(basis_.description, *statement_);
}

void PayoffDialog::PrintStatementShown() {
    if (!statement_) return;
    std::unique_ptr<QPrinter> ownPrinter;
    QPrinter* printer = services_.printer;
    if (printer == nullptr) {
        ownPrinter = DefaultPlanPrinter();
        printer = ownPrinter.get();
    }
    const PrintResult printed =
        printer != nullptr ? PrintStatement(*printer, Document(), Today())
                           : PrintResult{PrintCode::PrinterError, "Errore della stampante"};
    if (!printed.Ok() && services_.boxes != nullptr) {
        ShowPlainBox(*services_.boxes, printed.message, DefaultBoxTitle(), BoxIcon::Critical);
    }
}

void PayoffDialog::WriteStatementPdf() {
    if (!statement_) return;
    const ExportResult written = ExportStatementPdf(services_.exportFolder, Document());
    if (!written.Ok()) {
        if (services_.boxes != nullptr) {
            ShowPlainBox(*services_.boxes, written.message, DefaultBoxTitle(), BoxIcon::Critical);
        }
        return;
    }
    if (services_.shell != nullptr && !services_.shell->OpenFile(written.file) &&
        services_.boxes != nullptr) {
        ShowPlainBox(*services_.boxes,
                     "Il file " + written.file.string() +
                         " è stato salvato, ma non è stato possibile aprirlo.",
                     DefaultBoxTitle(), BoxIcon::Exclamation);
    }
}

void PayoffDialog::RecordPayoff() {
    if (event_ && RecordShownEvent(services_, *event_)) accept();
}

}  // namespace quotaplan
