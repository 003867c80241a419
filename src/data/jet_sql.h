#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// Rewrites a statement of the Jet dialect into SQLite's, touching nothing inside a string
// literal ('...' with doubled apostrophes) or a bracketed name ([ID Leasing]):
//   "DELETE * FROM"           -> "DELETE FROM"
//   "SELECT TOP n ..."        -> "SELECT ... LIMIT n" (the statement's first SELECT only)
//   "#m/d/yyyy#"              -> "'yyyy-mm-dd'" (the archive's date form)
//   "..." (a Jet text literal) -> '...' with apostrophes doubled
// Throws DatabaseError (kErrSqlSyntax) for an unterminated literal, bracketed name or
// date, and for a date literal that names no day.
std::string TranslateJetSql(std::string_view jetSql);

}  // namespace quotaplan
