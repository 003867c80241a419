#pragma once

#include <functional>
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

// What an engine writes differently from SQLite, on top of the rewriting above.
struct JetDialect {
    // A bracketed name, given without its brackets ("ID Leasing"); unset keeps "[...]".
    std::function<std::string(std::string_view)> bracketedName;
    // A bare word that names a table, a column or an alias (not a function call, not a
    // collation); unset keeps it as written.
    std::function<std::string(std::string_view)> bareName;
    // "?" parameters written "$1", "$2", ... in order.
    bool numberedParameters = false;
    // Text after a ";" that ends the statement throws DatabaseError (TrailingTextError).
    bool refuseTrailingText = false;
};
std::string TranslateJetSql(std::string_view jetSql, const JetDialect& dialect);

}  // namespace quotaplan
