#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/contract_form.h"
#include "data/database.h"
#include "engine/plan_events.h"

namespace quotaplan {

// An event of a contract as the archive keeps it (tabEventi).
struct StoredEvent {
    std::int32_t id = 0;
    ContractEvent event;
    Money paid;     // Importo: the payoff's total, or the capital prepaid
    Money penalty;  // Penale
    Money refund;   // Rimborso: the up-front costs refunded
    int linesWritten = 0;
};

// What the events of a stored contract act on: its signed terms, read from tabContratti, its
// financing type's penalty regime, its current plan (tabPDA, the events' penalties and
// refunds on their lines) and its events in the order recorded.
struct EventBasis {
    std::int32_t contractId = 0;
    std::string description;
    SignedTerms terms;
    SignedTerms termsInForce;  // the terms the next event acts on (TermsInForce)
    PenaltyRule typePenalty;   // the financing type's regime; "nessuna" when it has none
    CentsPlan plan;
    std::vector<StoredEvent> events;
};

enum class EventStoreCode {
    Done,
    Refused,       // the event may not act (its message), or there is no event to remove
    ContractGone,  // the contract is no longer in the archive
    Failed,        // the archive failed (its error line); nothing was written
};

// How recording or removing an event ended. On Done, `basis` is the contract as it is now
// and `result` (recording) what the event did.
struct [[nodiscard]] EventStoreResult {
    EventStoreCode code = EventStoreCode::Done;
    std::string message;
    std::optional<EventBasis> basis;
    std::optional<EventResult> result;
    std::int32_t eventId = 0;  // the event recorded or removed

    bool Ok() const { return code == EventStoreCode::Done; }
};

// The events of stored contracts, on one connection: reading them with the plan they act on,
// recording one and removing the latest, each in one write transaction (BEGIN IMMEDIATE: a
// second desk waits), so that a failure or a refusal leaves the archive as it was.
class ContractEventStore {
public:
    explicit ContractEventStore(Database& db) : db_(db) {}

    // The contract's basis; nullopt when it is not in the archive. An archive without the
    // tables of events (an older one that was only read) gives no events. Throws
    // DatabaseError when a query fails, RunTimeError 13 for a stored value that cannot be read.
    std::optional<EventBasis> Basis(std::int32_t contractId);

    // The contract's events alone, in the order recorded. Throws as Basis.
    std::vector<StoredEvent> Events(std::int32_t contractId);

    // Records the event on the contract's current plan (ApplyEvent): the event row, the plan
    // lines it replaces kept in tabEventiPDA, its own lines written in their place. With
    // `seen`, the basis whose figures the caller showed, the event is refused with
    // kEventChangedMeanwhileMessage when the contract's events or plan rows are no longer
    // those (another desk recorded, undid or re-derived meanwhile).
    EventStoreResult Record(std::int32_t contractId, const ContractEvent& event,
                            const EventBasis* seen = nullptr);

    // Removes the contract's latest event: the lines it wrote go, the lines it replaced come
    // back. Refused with "Il contratto non ha eventi da annullare." when it has none.
    EventStoreResult UndoLatest(std::int32_t contractId);

private:
    Database& db_;
};

// The message of a contract gone meanwhile, as the window says it elsewhere.
inline constexpr const char* kEventContractGoneMessage =
    "Il contratto non si trova più nell'archivio: è stato eliminato.";

// The refusal of an event whose figures were shown on a contract changed meanwhile.
inline constexpr const char* kEventChangedMeanwhileMessage =
    "Il contratto è stato modificato da un'altra postazione mentre la finestra era aperta: "
    "non è stato registrato nulla. Chiudere e riaprire la finestra per rivedere le cifre.";

// True when the stored contract has events (false in an archive without their table).
// Throws DatabaseError.
bool ContractHasEvents(Database& db, std::int32_t contractId);

// The two halves of ContractHasEvents, for a caller asking about many contracts: whether the
// archive has the table of events (a catalog query), and whether the contract has an event
// in it (one indexed query). Throw DatabaseError.
bool ArchiveKeepsEvents(Database& db);
bool AnyEventOf(Database& db, std::int32_t contractId);
// The contracts that have an event, by ID, in one query, for a caller going through them all.
// Throws DatabaseError.
std::set<std::int32_t> ContractsWithEvents(Database& db);

// Deletes the contract's events and the plan lines they kept, as part of deleting the
// contract (the caller's transaction). False with the error in db.Errors().
[[nodiscard]] bool DeleteContractEvents(Database& db, std::int32_t contractId);

// Why a save of a contract that has events would change its signed terms: the refusal's
// message, or nullopt when only the description and the financing type differ between the
// stored form and the form to save.
std::optional<std::string> SignedTermsChange(const ContractForm& stored, const ContractForm& form);

}  // namespace quotaplan
