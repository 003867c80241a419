#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"

namespace quotaplan {

// The contracts' names under the one name rule of the archive (NameKey): the key column of
// tabContratti, the names that share a key, and new names that set them apart.

// The column of tabContratti holding each description's key, under a unique index.
inline constexpr const char* kNameKeyColumn = "ChiaveDescBene";

struct ContractName {
    std::int32_t id = 0;
    std::string name;
    friend bool operator==(const ContractName&, const ContractName&) = default;
};

// Two contracts whose names share a key: the first one of the key (lowest ID) and a later one.
struct NameClash {
    ContractName first;
    ContractName later;
    friend bool operator==(const NameClash&, const NameClash&) = default;
};

// Every contract's ID and description (Null as ""), in ID order. Throws DatabaseError.
std::vector<ContractName> ReadContractNames(Database& db);

// Each later contract whose name has the key of an earlier one, paired with the first one of
// that key, in the order of the later IDs.
std::vector<NameClash> NameClashes(const std::vector<ContractName>& contracts);

// The clashes one a line, two blanks in: `  3 "Màcchina 3" e 7 "macchina 3"`.
std::string ClashLines(const std::vector<NameClash>& clashes);

// New names for the later contracts of each clash: the name with " (2)", " (3)", ... (the
// first number whose name no other contract's key holds), the name cut so that the whole
// keeps the description's 50 characters. The renamed contracts in ID order.
std::vector<ContractName> DistinctNames(const std::vector<ContractName>& contracts);

// The key kept by a later contract of a clash that was stored before keys existed: the key,
// a tab and the ID (a key never holds a tab), so each stays unique and none is lost.
std::string KeptClashKey(std::string_view key, std::int32_t id);

// The condition that finds the contracts holding the name of the key (the key itself, or a
// kept clash key of it), for the duplicate check of a save: a WHERE clause of the Jet
// dialect without the WHERE, served by the key's unique index.
std::string NameTakenCondition(std::string_view key);

// Gives every contract of the archive the key of its description, after giving the renamed
// ones (id, new name) their new description; a later contract of a clash left gets its
// KeptClashKey. Writes only the rows whose description or key changes, inside the caller's
// transaction. Returns the clashes left. Throws DatabaseError.
std::vector<NameClash> StoreNameKeys(Database& db, const std::vector<ContractName>& renamed);

}  // namespace quotaplan
