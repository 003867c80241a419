#pragma once

#include <string>
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
// db/sqlite/ and db/postgresql/), in one transaction: the column Centesimo (the plan to the
// cent, No for the contracts already stored) at position 45 of tabContratti, the column
// CategoriaUsura of supTipologia, the table tabSoglieUsura (granted to the roles as
// tabContratti is), the names' key ChiaveDescBene at position 46 with its unique index
// in place of the older index of the descriptions, the penalty regime PenaleEstinzione of
// supTipologia (Null: none), and the tables of the contracts' events, tabEventi and
// tabEventiPDA (granted likewise); the expert review's TassoMora and SpreadMora of
// tabContratti, MaggiorazioneMora of tabSoglieUsura and the tables tabPianoBanca and
// tabTassiLegali (granted likewise). Each step only where it is missing.
// Contracts whose names were already equal under the key all stay, the later ones with a
// key made distinct by their ID (KeptClashKey). Then, in a transaction of their own, the
// summary views when they are older than this version's (RefreshSummaryViews).
// An archive that is up to date, or read-only, is left as it is (a read-only one reads
// Centesimo as No, with the views it has); so is one whose role may not change its schema
// (MayChangeSchema), whose connection then refuses every write with 3720. Returns what the
// upgrade says once, when it kept names equal under the key (which they are), else "".
// Throws DatabaseError when a step fails; the archive is then as it was before that
// transaction.
std::string UpgradeArchive(Database& db);

}  // namespace quotaplan
