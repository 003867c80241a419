#include "ui/contract_events_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "common/message_boxes.h"
#include "common/number_text.h"
#include "common/program_info.h"
#include "ui/prepayment_dialog.h"
#include "ui/renegotiation_dialog.h"
#include "ui/suspension_dialog.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;  // "#,##0.00"
constexpr int kDate = 1;    // "dd/mm/yy"

QString Amount(Money amount) {
    return QString::fromStdString(FormatNumber(amount.Units(), kAmount));
}

QPushButton* NamedButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setEnabled(false);
    return button;
}

}  // namespace

ContractEventsPanel::ContractEventsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fraEventi"));
    lsvEventi = new QTreeWidget(this);
    lsvEventi->setObjectName(QStringLiteral("lsvEventi"));
    lsvEventi->setAccessibleName(QStringLiteral("Eventi del contratto"));
    lsvEventi->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Evento"),
                                QStringLiteral("Importo"), QStringLiteral("Penale"),
                                QStringLiteral("Rimborso costi"), QStringLiteral("Note")});
    lsvEventi->setRootIsDecorated(false);
    lsvEventi->setSelectionMode(QAbstractItemView::NoSelection);
    lsvEventi->header()->setStretchLastSection(true);
    const int widths[] = {58, 96, 72, 56, 80};
    for (int column = 0; column < 5; ++column) lsvEventi->setColumnWidth(column, widths[column]);

    cmdEstinzione = NamedButton("cmdEstinzione", QStringLiteral("Estinzione…"), this);
    cmdRimborsoParziale =
        NamedButton("cmdRimborsoParziale", QStringLiteral("Rimborso parziale…"), this);
    cmdSospensione = NamedButton("cmdSospensione", QStringLiteral("Sospensione…"), this);
    cmdRinegoziazione = NamedButton("cmdRinegoziazione", QStringLiteral("Rinegoziazione…"), this);
    cmdAnnullaEvento =
        NamedButton("cmdAnnullaEvento", QStringLiteral("Annulla ultimo evento"), this);
    cmdProspetto = NamedButton("cmdProspetto", QStringLiteral("Prospetto annuale…"), this);

    // Two columns of three: the band under the grid holds three buttons' height.
    auto* buttons = new QGridLayout;
    buttons->setSpacing(2);
    QPushButton* const order[] = {cmdEstinzione,     cmdRimborsoParziale, cmdSospensione,
                                  cmdRinegoziazione, cmdAnnullaEvento,    cmdProspetto};
    for (int k = 0; k < 6; ++k) {
        buttons->addWidget(order[k], k % 3, k / 3);
    }
    buttons->setRowStretch(3, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lsvEventi, 1);
    layout->addLayout(buttons);

    connect(cmdEstinzione, &QPushButton::clicked, this, &ContractEventsPanel::OpenPayoff);
    connect(cmdRimborsoParziale, &QPushButton::clicked, this, &ContractEventsPanel::OpenPrepayment);
    connect(cmdSospensione, &QPushButton::clicked, this, &ContractEventsPanel::OpenSuspension);
    connect(cmdRinegoziazione, &QPushButton::clicked, this,
            &ContractEventsPanel::OpenRenegotiation);
    connect(cmdAnnullaEvento, &QPushButton::clicked, this, &ContractEventsPanel::UndoLatest);
    connect(cmdProspetto, &QPushButton::clicked, this, [this] {
        if (basis_) {
            emit yearlyStatementAsked(contractId_, QString::fromStdString(basis_->description));
        }
    });
}

void ContractEventsPanel::Connect(ContractEventStore* store,
                                  std::function<EventDialogServices()> services) {
    store_ = store;
    services_ = std::move(services);
    Refresh();
}

void ContractEventsPanel::ShowContract(std::int32_t contractId) {
    contractId_ = contractId;
    basis_.reset();
    if (store_ != nullptr && contractId_ != 0) {
        try {
            basis_ = store_->Basis(contractId_);
        } catch (const std::exception&) {
            basis_.reset();
        }
    }
    Refresh();
}

void ContractEventsPanel::Refresh() {
    lsvEventi->clear();
    const bool shown = store_ != nullptr && basis_.has_value();
    if (shown) {
        for (const StoredEvent& stored : basis_->events) {
            new QTreeWidgetItem(lsvEventi,
                                {QString::fromStdString(FormatDate(stored.event.date, kDate)),
                                 QString::fromUtf8(EventKindName(stored.event.Kind())),
                                 Amount(stored.paid), Amount(stored.penalty), Amount(stored.refund),
                                 QString::fromStdString(stored.event.note)});
        }
    }
    for (int column = 0; column < lsvEventi->columnCount(); ++column) {
        lsvEventi->resizeColumnToContents(column);
    }
    const bool open = shown && !basis_->plan.PaidOff() && !basis_->plan.rows.empty();
    cmdEstinzione->setEnabled(open);
    cmdRimborsoParziale->setEnabled(open);
    cmdSospensione->setEnabled(open);
    cmdRinegoziazione->setEnabled(open);
    cmdAnnullaEvento->setEnabled(shown && !basis_->events.empty());
    cmdProspetto->setEnabled(shown && !basis_->plan.rows.empty());
}

EventDialogServices ContractEventsPanel::DialogServices() {
    EventDialogServices services = services_ ? services_() : EventDialogServices{};
    const std::int32_t id = contractId_;
    services.record = [this, id](const ContractEvent& event) {
        EventStoreResult recorded =
            store_->Record(id, event, basis_.has_value() ? &*basis_ : nullptr);
        if (recorded.Ok()) {
            basis_ = recorded.basis;
            Refresh();
            emit eventsChanged(id);
        } else if (recorded.code == EventStoreCode::ContractGone) {
            ShowContract(id);
        } else if (recorded.message == kEventChangedMeanwhileMessage) {
            // The next dialog opens on the contract as it is now.
            ShowContract(id);
            emit eventsChanged(id);
        }
        return recorded;
    };
    return services;
}

template <typename Dialog>
void ContractEventsPanel::Open() {
    if (!basis_ || store_ == nullptr) return;
    auto* dialog = new Dialog(*basis_, DialogServices(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void ContractEventsPanel::OpenPayoff() { Open<PayoffDialog>(); }
void ContractEventsPanel::OpenPrepayment() { Open<PrepaymentDialog>(); }
void ContractEventsPanel::OpenSuspension() { Open<SuspensionDialog>(); }
void ContractEventsPanel::OpenRenegotiation() { Open<RenegotiationDialog>(); }

void ContractEventsPanel::UndoLatest() {
    const EventDialogServices services = DialogServices();
    if (!basis_ || store_ == nullptr || basis_->events.empty() || services.boxes == nullptr) {
        return;
    }
    const StoredEvent& latest = basis_->events.back();
    const std::string question =
        "Annullare l'ultimo evento (" + std::string(EventKindName(latest.event.Kind())) + " del " +
        FormatDate(latest.event.date, 2) + ")? Il piano torna com'era prima.";
    if (AskYesNo(*services.boxes, question, "") != BoxAnswer::Yes) return;
    const EventStoreResult undone = store_->UndoLatest(contractId_);
    if (!undone.Ok()) {
        Report(undone.message, undone.code == EventStoreCode::Failed);
        if (undone.code != EventStoreCode::ContractGone) return;
    }
    basis_ = undone.basis;
    Refresh();
    emit eventsChanged(contractId_);
}

void ContractEventsPanel::Report(const std::string& message, bool failure) {
    const EventDialogServices services = DialogServices();
    if (services.boxes == nullptr) return;
    ShowPlainBox(*services.boxes, message, DefaultBoxTitle(),
                 failure ? BoxIcon::Critical : BoxIcon::Exclamation);
}

}  // namespace quotaplan
