#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "data/contract_store.h"
#include "data/database.h"
#include "engine/financial_plan.h"
#include "engine/plan_lines.h"

namespace quotaplan {

// The latest event paid the contract off: nothing after it to re-derive.
struct PaidOffAsStored {};

// Why a contract with events keeps its plan, for the run's list of contracts skipped.
struct EventReindexRefusal {
    std::string message;
};

// What re-indexing a contract with recorded events comes to: the lines its rows are to hold
// (PlanLines of its plan), or nothing to write.
using EventReindex = std::variant<std::vector<PlanLine>, PaidOffAsStored, EventReindexRefusal>;

// The plan of a stored contract with events after re-indexing: `indexedPlan` (its signed
// terms indexed anew and calculated) as the archive holds it, with the events as stored
// applied in order, each at the terms in force. The rows dated up to the latest event, and
// that event's own line, are what was paid and what the events found: when they no longer
// come out to the cent as `stored` (the contract's rows) holds them, the contract is refused
// and left as it is. The latest event's count of the lines it wrote is set, inside the
// caller's transaction, to the count the returned lines give it, so that undoing the event
// still removes exactly its lines: the caller must write the plan (from its first changed
// row on) in that transaction. A refusal carries the events engine's message, or the
// message of a stored value that cannot be read. Throws DatabaseError.
EventReindex ReindexedPlanWithEvents(Database& db, std::int32_t contractId,
                                     const std::vector<StoredPlanRow>& stored,
                                     const FinancialPlan& indexedPlan);

}  // namespace quotaplan
