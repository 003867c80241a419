#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/database.h"

namespace quotaplan {

// A table of an archive that holds something a new archive does not.
struct HeldTable {
    std::string table;
    std::int64_t rows = 0;
    // A table a new archive fills (the lookup lists, the reference-rate values), changed
    // since; otherwise a table a new archive leaves empty.
    bool seeded = false;
};

// The archive's tables, in name order, that differ from those of a new archive made by
// InitArchive: a table with rows where a new archive has none, or one whose rows are not
// the new archive's (the same IDs with the same values). Empty for an archive as
// InitArchive leaves it. Throws DatabaseError.
std::vector<HeldTable> TablesBeyondNewArchive(Database& db);

// The tables for a message: "2 righe in tabContratti, 1 riga in tabSoglieUsura,
// supTipologia modificata".
std::string HeldTablesText(const std::vector<HeldTable>& tables);

}  // namespace quotaplan
