#pragma once

#include "data/database.h"

namespace quotaplan {

// The version of the summary views that db/sqlite/views.sql and db/postgresql/views.sql
// make; each script records it in the view qryVersioneViste. Raise it, and the number in
// both scripts, with any change to either script, so that archives made earlier get the
// new views when they are opened.
inline constexpr int kSummaryViewsVersion = 2;

// The version recorded by the archive's views; 0 for views made before they recorded one.
int SummaryViewsVersion(Database& db);

// Replaces the summary views of a writable archive with this version's (the engine's
// views.sql, in one transaction) when they are older. Views made by a later Quotaplan stay
// as they are, and so does a read-only archive. On a server each replaced view keeps the
// grants it had, and a new one is granted for reading as tabContratti is. Throws
// DatabaseError when the script fails; the views are then as they were.
void RefreshSummaryViews(Database& db);

}  // namespace quotaplan
