#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "data/contract_names.h"
#include "data/database.h"

namespace quotaplan {

// A text a copy stored otherwise than the source holds it, because the target cannot hold
// it as it is (TextForServer).
struct ChangedText {
    std::string table;
    std::string row;  // "ID 7" (or "riga 3" in a table without IDs)
    std::string column;
    std::string change;  // what was changed, in Italian
    std::string text;    // what the target holds now
};

// How making or copying an archive ended: ok, or the Italian message saying why not
// (nothing was written then).
struct ArchiveSetup {
    bool ok = false;
    bool refused = false;  // not done because of what the archives hold, not an error
    std::string message;
    // A copy: the rows copied, table by table in the order copied.
    std::vector<std::pair<std::string, std::int64_t>> counts;
    // A copy with TargetRows::Replace: the rows the target held before, table by table.
    std::vector<std::pair<std::string, std::int64_t>> replaced;
    // A copy: the texts stored otherwise than the source holds them.
    std::vector<ChangedText> changedTexts;
};

// What a copy does with a target that holds more than a new archive.
enum class TargetRows {
    Refuse,   // nothing is copied, and the refusal names what the target holds
    Replace,  // everything in the target gives way to the source's rows
};

struct CopyOptions {
    TargetRows targetRows = TargetRows::Refuse;
    // Contracts that arrive under new names (DistinctNames), so that no two share a key.
    std::vector<ContractName> renamed;
};

// Makes a new archive on an empty database: the engine's schema, views and lookup values
// (NewArchiveSql), all or nothing. A database that holds any table already is refused.
ArchiveSetup InitArchive(Database& db);

// Makes a new SQLite archive (InitArchive) in a file that does not exist yet, then lets
// `fill` write into it; the outcome is fill's (or InitArchive's when there is no fill). The
// file is written under a hidden temporary name in the same folder (".NAME.parziale-" and
// six letters) and takes its own name only once whole and closed, so that a program killed
// midway leaves nothing that could be taken for the archive; such a leftover goes at the
// next write of the same name. Refused when the name was taken meanwhile, never replacing it.
ArchiveSetup MakeArchiveFile(const std::filesystem::path& file,
                             const std::function<ArchiveSetup(Database&)>& fill = {});

// Copies every table of `from` into `to` (contracts, plan rows, lookup tables, reference-rate
// values, usury thresholds and whatever else the archive holds), row by row with their IDs,
// in one transaction on `to`: any failure leaves `to` as it was. `from` is only read, in one
// transaction, so a desk saving meanwhile never leaves half a contract in the copy. `to` must
// be an archive holding nothing but what a new one holds (TablesBeyondNewArchive), whose
// lookup tables and reference-rate values are then replaced by those of `from`; otherwise
// the copy is refused naming what it holds, unless options say Replace, when the target ends
// holding exactly the rows of `from` (a table `from` lacks is emptied) and `replaced` counts
// what it held. A table or column of `from` that `to` lacks is refused, so nothing is lost on
// the way; a column of `to` that `from` lacks (an older archive) gets its default. A text
// that `to` cannot hold as it is, is stored as TextForServer reads it and listed. The
// contracts of options.renamed arrive under their new names, and every contract with the key
// of its name (StoreNameKeys: the copy never trusts the keys `from` stored).
ArchiveSetup CopyArchive(Database& from, Database& to, const CopyOptions& options = {});

}  // namespace quotaplan
