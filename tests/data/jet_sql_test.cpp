#include "data/jet_sql.h"

#include <gtest/gtest.h>

#include <random>

#include "archive_fixture.h"
#include "data/sql_helpers.h"

namespace quotaplan {
namespace {

struct Rewrite {
    const char* jet;
    const char* sqlite;
};

class JetRewriteTest : public ::testing::TestWithParam<Rewrite> {};

TEST_P(JetRewriteTest, RewritesOnlyOutsideLiterals) {
    EXPECT_EQ(TranslateJetSql(GetParam().jet), GetParam().sqlite);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, JetRewriteTest,
    ::testing::Values(
        Rewrite{"DELETE * FROM tabPDA WHERE [ID Leasing] = 7",
                "DELETE FROM tabPDA WHERE [ID Leasing] = 7"},
        Rewrite{"delete  *  from x", "delete  from x"},
        Rewrite{"SELECT TOP 1 ID FROM tabContratti ORDER BY ID DESC",
                "SELECT ID FROM tabContratti ORDER BY ID DESC LIMIT 1"},
        Rewrite{"SELECT TOP 5 * FROM t ;", "SELECT * FROM t LIMIT 5 ;"},
        Rewrite{"INSERT INTO t (d) VALUES (#1/3/2006#)", "INSERT INTO t (d) VALUES ('2006-01-03')"},
        Rewrite{"UPDATE t SET d = #12/31/1999#, e = Null",
                "UPDATE t SET d = '1999-12-31', e = Null"},
        Rewrite{"SELECT 'DELETE * FROM x #1/1/2000# TOP 1' FROM t",
                "SELECT 'DELETE * FROM x #1/1/2000# TOP 1' FROM t"},
        Rewrite{"SELECT 'l''anno' FROM t", "SELECT 'l''anno' FROM t"},
        Rewrite{"SELECT \"il \"\"nome\"\" l'anno\" FROM t", "SELECT 'il \"nome\" l''anno' FROM t"},
        Rewrite{"SELECT [a 'b] FROM t", "SELECT [a 'b] FROM t"},
        Rewrite{"Select * From tabContratti Where Descbene='x''); DROP TABLE tabPDA; --'",
                "Select * From tabContratti Where Descbene='x''); DROP TABLE tabPDA; --'"}));

TEST(JetRewrite, UnterminatedOrBadLiteralsAreErrors) {
    for (const char* bad :
         {"SELECT 'abc", "SELECT 'l''anno", "SELECT \"x", "SELECT [ID Leasing", "SELECT #1/3/2006",
          "SELECT #2/30/2006#", "SELECT #13/1/2006#", "SELECT #1-3-2006#", "SELECT ##"}) {
        try {
            TranslateJetSql(bad);
            ADD_FAILURE() << bad;
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.Number(), kErrSqlSyntax) << bad;
            EXPECT_EQ(error.Description().rfind("Errore di sintassi nell'istruzione SQL: ", 0), 0u);
        }
    }
}

// Random texts full of quotes, '#', keywords and non-ASCII letters, written as literals by
// FormatSqlValue, must come back from the engine byte for byte.
TEST(JetRewrite, FuzzedLiteralsComeBackUnchanged) {
    testing::TempArchive archive;
    auto db = archive.Open();
    const std::vector<std::string> pieces = {
        "'", "''", "\"", "#", "#1/3/2006#", "TOP 1 ", "DELETE * ", "[", "]",       ";",  "--", "/*",
        "è", "È",  " ",  "x", "0",          "\\",     "%",         "_", "SELECT ", "\t", "€"};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    for (int round = 0; round < 500; ++round) {
        std::string text;
        for (int k = length(random); k > 0; --k) text += pieces[pick(random)];
        Recordset row(db, "SELECT " + FormatSqlValue(SqlValue(text), kTypeText) + " AS v");
        ASSERT_EQ(row.Value("v").ToText(), text);
    }
}

// Random byte strings: the rewriting either gives a statement or a syntax error, never a
// crash or a hang.
TEST(JetRewrite, RandomTextNeverCrashes) {
    const std::string alphabet = "'\"#[]*; TOPDELETESELECTFROM/0123456789aè";
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    int errors = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int k = 0; k < 30; ++k) text += alphabet[pick(random)];
        try {
            TranslateJetSql(text);
        } catch (const DatabaseError& error) {
            ++errors;
            EXPECT_EQ(error.Number(), kErrSqlSyntax);
        }
    }
    EXPECT_GT(errors, 0);
}

}  // namespace
}  // namespace quotaplan
