#pragma once

#include <string_view>

#include "data/database.h"

namespace quotaplan {

// True when the archive's table has the column (letter case aside), or the table at all.
// Throws DatabaseError when the table cannot be read.
bool HasColumn(Database& db, std::string_view table, std::string_view column);
bool HasTable(Database& db, std::string_view table);
// True when the archive has an index of that name.
bool HasIndex(Database& db, std::string_view index);

// Brings an archive made by an older Quotaplan up to this one's schema (schema.sql of
// db/sqlite/ and db/postgresql/), in one transaction: the index idxContrattiDescBene of the
// duplicate check, the column Centesimo (the plan to the cent, No for the contracts already
// stored) at position 45 of tabContratti, the column CategoriaUsura of supTipologia, and the
// table tabSoglieUsura. Each step only where it is missing. Then, in a transaction of their
// own, the summary views when they are older than this version's (RefreshSummaryViews).
// An archive that is up to date, or read-only, is left as it is (a read-only one reads
// Centesimo as No, with the views it has). Throws DatabaseError when a step fails; the
// archive is then as it was before that transaction.
void UpgradeArchive(Database& db);

}  // namespace quotaplan
