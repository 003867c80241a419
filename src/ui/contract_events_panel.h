#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "data/contract_event_store.h"
#include "ui/payoff_dialog.h"

class QPushButton;
class QTreeWidget;

namespace quotaplan {

// The events of the stored contract shown, on the "Piano finanziario" page: their list (date,
// event, amount paid, penalty, costs refunded, note) and "Estinzione…", "Rimborso parziale…",
// "Sospensione…", "Rinegoziazione…" and "Annulla ultimo evento". The first four open their dialog on the contract's current plan
// (window-modal, without blocking); the last asks first. A new contract (ID 0), or an archive
// that keeps no events, has the buttons off; a contract paid off only the undo.
class ContractEventsPanel : public QWidget {
    Q_OBJECT
public:
    explicit ContractEventsPanel(QWidget* parent = nullptr);

    // Where the events are kept (nullptr: nowhere) and what the dialogs use, asked for as each
    // one opens. Until given, the buttons stay off.
    void Connect(ContractEventStore* store, std::function<EventDialogServices()> services);

    // The contract whose events to show: its ID (0 for none). Reads its events and its plan;
    // when they cannot be read (the contract's load has said why) the list stays empty and
    // the buttons off.
    void ShowContract(std::int32_t contractId);

    // The contract's events and plan as last read; none for no contract.
    const std::optional<EventBasis>& Basis() const { return basis_; }

    // The button handlers. The dialogs are children of the panel, found by their object
    // names ("dlgEstinzione", "dlgRimborsoParziale", "dlgSospensione", "dlgRinegoziazione").
    void OpenPayoff();
    void OpenPrepayment();
    void OpenSuspension();
    void OpenRenegotiation();
    void UndoLatest();

    QTreeWidget* lsvEventi = nullptr;
    QPushButton* cmdEstinzione = nullptr;
    QPushButton* cmdRimborsoParziale = nullptr;
    QPushButton* cmdSospensione = nullptr;
    QPushButton* cmdRinegoziazione = nullptr;
    QPushButton* cmdAnnullaEvento = nullptr;
    // "Prospetto annuale…": the contract's yearly statement, asked of the window.
    QPushButton* cmdProspetto = nullptr;

signals:
    // An event was recorded or removed: the contract's stored plan changed.
    void eventsChanged(std::int32_t contractId);
    // "Prospetto annuale…" of the stored contract shown.
    void yearlyStatementAsked(std::int32_t contractId, const QString& description);

private:
    void Refresh();
    EventDialogServices DialogServices();
    void Report(const std::string& message, bool failure);
    // The dialog of the kind opened on the contract's current plan, window-modal.
    template <typename Dialog>
    void Open();

    ContractEventStore* store_ = nullptr;
    std::function<EventDialogServices()> services_;
    std::int32_t contractId_ = 0;
    std::optional<EventBasis> basis_;
};

}  // namespace quotaplan
