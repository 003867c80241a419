#pragma once

#include <cstdint>
#include <vector>

#include "data/contract_store.h"
#include "data/database.h"
#include "engine/plan_lines.h"

namespace quotaplan {

// Appends the lines from `from` on to the contract's plan in tabPDA, in their order, as the archive stores
// them: the type (PlanLineTipo), the date, the rate in percent (0 on the maxi and buy-out
// lines) and the amounts, each number with the two decimals of its SQL literal. Prepared
// statements of many lines each, values bound. False at the first failure, its error in
// db.Errors(); the caller's transaction then rolls everything back.
[[nodiscard]] bool InsertPlanLines(Database& db, std::int32_t contractId,
                                   const std::vector<PlanLine>& lines, std::size_t from = 0);

// The contract's stored plan lines in the order written (by ID). Throws DatabaseError.
std::vector<StoredPlanRow> ReadStoredPlanRows(Database& db, std::int32_t contractId);

}  // namespace quotaplan
