#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "data/contract_names.h"
#include "data/database.h"

namespace quotaplan {

// How making or copying an archive ended: ok, or the Italian message saying why not
// (nothing was written then).
struct ArchiveSetup {
    bool ok = false;
    bool refused = false;  // not done because of what the archives hold, not an error
    std::string message;
    // A copy: the rows copied, table by table in the order copied.
    std::vector<std::pair<std::string, std::int64_t>> counts;
};

// Makes a new archive on an empty database: the engine's schema, views and lookup values
// (NewArchiveSql), all or nothing. A database that holds any table already is refused.
ArchiveSetup InitArchive(Database& db);

// Copies every table of `from` into `to` (contracts, plan rows, lookup tables, reference-rate
// values and whatever else the archive holds), row by row with their IDs, in one transaction
// on `to`: any failure leaves `to` as it was. `to` must be an archive (InitArchive) without
// contracts or plan rows; its lookup tables are replaced by those of `from`. A table or column
// of `from` that `to` lacks is refused, so nothing is lost on the way. The contracts of
// `renamed` (DistinctNames) arrive under their new names, and every contract with the key of
// its name (StoreNameKeys: the copy never trusts the keys `from` stored).
ArchiveSetup CopyArchive(Database& from, Database& to,
                         const std::vector<ContractName>& renamed = {});

}  // namespace quotaplan
