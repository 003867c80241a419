#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "data/database.h"
#include "data/db_error.h"

namespace quotaplan {

// Which contracts a re-indexing takes: those of one reference rate, of one financing type
// (each by its description, letter case aside); empty: every one.
struct ReindexScope {
    std::string referenceRate;
    std::string type;
};

// How a re-indexing ended.
struct [[nodiscard]] ReindexReport {
    int contracts = 0;  // indexed contracts re-derived
    int changed = 0;    // of them, those whose plan changed
    int rows = 0;       // plan rows rewritten
    // Indexed contracts that could not be re-derived, each "Contratto 7 "Tornio": why"
    // (a series that starts after its contract date, a stored value that no longer reads, a
    // contract with events whose rows up to its latest event would change).
    std::vector<std::string> skipped;
    bool cancelled = false;          // stopped by the caller after a contract
    std::optional<DbError> failure;  // a database error; what it struck is as it was
};

// Re-indexes the portfolio: every stored contract with a reference rate other than "Fisso"
// that has values (within `scope`) is re-derived exactly as "Indicizza" and "Calcola" would
// re-derive it in the window (IndexRequest, CalculateRequest), from its stored terms; where
// the plan changed, its rows are rewritten from the first one that changed (the rows before
// it are left alone) and the contract's Tasso follows the first index value. A contract with
// recorded events is re-derived with its events applied again (ReindexedPlanWithEvents): its
// rows after the latest event follow the new values; one whose rows up to that event would
// change is left as it is and reported in `skipped`, one paid off is counted as it is. Each
// contract is written whole or not at all, under the archive's writer lock (BEGIN
// IMMEDIATE); contracts are committed together at most a quarter of a second apart, as one
// disk sync for each would make a portfolio take minutes. `progress` is told each contract
// done (of the total); returning false stops after that contract, whose writing is then
// committed. The contracts are read a few ahead on a second connection to the archive
// (Database::ReaderAlongside) by a second thread, and only while the writer lock is held, so
// that reading and writing go on together and nothing read changes before it is written.
// `today` is the day a two-digit year is read around.
ReindexReport ReindexPortfolio(Database& db, const ReindexScope& scope, CalendarDate today,
                               const std::function<bool(int done, int total)>& progress);

}  // namespace quotaplan
