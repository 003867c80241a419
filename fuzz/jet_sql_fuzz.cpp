// The Jet-to-SQLite rewriting on any text: it either refuses the text with the syntax
// error or gives a text in which no Jet date (#...#) and no double-quoted literal is left
// outside the string literals and bracketed names SQLite will read.

#include <string>

#include "data/db_error.h"
#include "data/jet_sql.h"
#include "fuzz_check.h"

namespace quotaplan {
namespace {

// Every '...' literal (doubled apostrophes inside) and [...] name is closed, and outside
// them there is neither "#" nor a double quote.
void CheckNothingOfJetOutsideLiterals(std::string_view sql) {
    std::size_t i = 0;
    while (i < sql.size()) {
        if (sql[i] == '\'') {
            ++i;
            while (true) {
                FUZZ_CHECK(i < sql.size());  // every literal closed
                if (sql[i] == '\'' && (i + 1 == sql.size() || sql[i + 1] != '\'')) break;
                i += sql[i] == '\'' ? 2 : 1;
            }
            ++i;
        } else if (sql[i] == '[') {
            const auto close = sql.find(']', i);
            FUZZ_CHECK(close != std::string_view::npos);
            i = close + 1;
        } else {
            FUZZ_CHECK(sql[i] != '#' && sql[i] != '"');
            ++i;
        }
    }
}

}  // namespace
}  // namespace quotaplan

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quotaplan;
    std::string sql;
    try {
        sql = TranslateJetSql(fuzz::AsText(data, size));
    } catch (const DatabaseError& error) {
        FUZZ_CHECK(error.Number() == kErrSqlSyntax);
        return 0;
    }
    CheckNothingOfJetOutsideLiterals(sql);
    return 0;
}
