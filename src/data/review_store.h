#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "data/database.h"
#include "data/db_error.h"
#include "engine/plan_comparison.h"
#include "engine/usury.h"

namespace quotaplan {

// What an expert review keeps with a stored contract: the bank's plan (tabPianoBanca) and the
// contract's default interest (tabContratti.TassoMora or SpreadMora).

// Replaces the contract's bank plan with `rows`, in one transaction; the error it failed
// with (nothing changed), or nullopt when written. A figure the plan lacks is stored Null.
[[nodiscard]] std::optional<DbError> SaveBankPlan(Database& db, std::int32_t contractId,
                                                  const std::vector<ReviewRow>& rows);

// The contract's bank plan in the order imported; empty when none is stored. Throws
// DatabaseError when it cannot be read.
std::vector<ReviewRow> LoadBankPlan(Database& db, std::int32_t contractId);

// Sets (or with nullopt clears) the contract's default interest; the error it failed with.
[[nodiscard]] std::optional<DbError> SaveDefaultInterest(
    Database& db, std::int32_t contractId, const std::optional<DefaultInterest>& interest);

// The contract's default interest, nullopt when it has none (or the archive predates it).
// Throws DatabaseError when it cannot be read.
std::optional<DefaultInterest> LoadDefaultInterest(Database& db, std::int32_t contractId);

}  // namespace quotaplan
