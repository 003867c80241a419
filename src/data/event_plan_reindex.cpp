#include "data/event_plan_reindex.h"

#include <algorithm>

#include "common/number_text.h"
#include "common/run_time_error.h"
#include "data/contract_event_store.h"
#include "data/db_error.h"
#include "data/plan_row_changes.h"
#include "engine/plan_events.h"
#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

constexpr int kLongDate = 2;  // "dd/mm/yyyy"

EventReindexRefusal HistoryChanged(CalendarDate latest) {
    return {"un valore del tasso di riferimento con data fino al " + FormatDate(latest, kLongDate) +
            " (il suo ultimo evento) è cambiato e gli eventi registrati non tornerebbero più: il "
            "piano è rimasto com'era. Per indicizzarlo annullare gli eventi, indicizzarlo e "
            "registrarli di nuovo."};
}

// How many leading rows are history: those dated up to the latest event (its own line
// among them), and at least those before the lines it wrote.
std::size_t HistoryRows(const std::vector<StoredPlanRow>& stored, CalendarDate latest,
                        std::size_t eventStart) {
    std::size_t history = eventStart;
    for (std::size_t k = 0; k < stored.size(); ++k) {
        if (stored[k].Data <= latest) history = std::max(history, k + 1);
    }
    return history;
}

void SetLinesWritten(Database& db, std::int32_t eventId, std::size_t lines) {
    const std::string sql = "UPDATE tabEventi SET RigheScritte = " + std::to_string(lines) +
                            " WHERE ID = " + std::to_string(eventId);
    if (db.Execute(sql)) return;
    const DbError error = db.Errors().empty() ? DbError{kErrUnspecified, sql} : db.Errors().front();
    db.ClearErrors();
    throw DatabaseError(error);
}

EventReindex Reindexed(Database& db, std::int32_t contractId,
                       const std::vector<StoredPlanRow>& stored, const FinancialPlan& indexedPlan) {
    ContractEventStore events(db);
    const auto basis = events.Basis(contractId);
    if (!basis || basis->events.empty()) return PlanLines(indexedPlan, DerivedLines::Always);
    const StoredEvent& latest = basis->events.back();
    if (latest.event.Kind() == EventKind::Payoff) return PaidOffAsStored{};
    if (latest.linesWritten < 0 || static_cast<std::size_t>(latest.linesWritten) > stored.size()) {
        throw RunTimeError::TypeMismatch();
    }

    std::vector<ContractEvent> recorded;
    recorded.reserve(basis->events.size());
    for (const StoredEvent& event : basis->events) recorded.push_back(event.event);
    auto replanned = PlanWithEvents(basis->terms, PlanAsStored(indexedPlan), recorded);
    if (auto* refusal = std::get_if<EventRefusal>(&replanned)) {
        return EventReindexRefusal{refusal->message};
    }
    FinancialPlan plan;
    SetPlanToTheCent(plan, std::move(std::get<CentsPlan>(replanned)));
    std::vector<PlanLine> lines = PlanLines(plan, DerivedLines::Always);

    const std::size_t eventStart = stored.size() - static_cast<std::size_t>(latest.linesWritten);
    if (FirstChangedRow(stored, lines) < HistoryRows(stored, latest.event.date, eventStart)) {
        return HistoryChanged(latest.event.date);
    }
    const std::size_t written = lines.size() - eventStart;
    if (written != static_cast<std::size_t>(latest.linesWritten)) {
        SetLinesWritten(db, latest.id, written);
    }
    return lines;
}

}  // namespace

EventReindex ReindexedPlanWithEvents(Database& db, std::int32_t contractId,
                                     const std::vector<StoredPlanRow>& stored,
                                     const FinancialPlan& indexedPlan) {
    try {
        return Reindexed(db, contractId, stored, indexedPlan);
    } catch (const RunTimeError& error) {
        return EventReindexRefusal{"Errore " + std::to_string(error.Number()) + ": " +
                                   error.Description()};
    }
}

}  // namespace quotaplan
