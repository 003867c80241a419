#pragma once

#include <cstdint>
#include <optional>

#include "data/database.h"
#include "engine/yearly_statement.h"

namespace quotaplan {

// Which contracts of the archive the yearly statement sums: one, those of a financing type,
// or all.
struct YearlyScope {
    std::optional<std::int32_t> contractId;
    std::optional<std::int32_t> typeId;
};

// The yearly sums of the contracts in scope, from their current plans as stored (tabPDA,
// the events' lines included), their fees (tabContratti: SpeseContratto on the contract
// date, SpeseAddebito on each instalment) and their events' penalties less refunds
// (tabEventi). Three queries read the whole scope in one pass each. Throws DatabaseError.
YearlyTotals ArchiveYearlyTotals(Database& db, const YearlyScope& scope);

}  // namespace quotaplan
