#include "data/jet_sql.h"

#include <gtest/gtest.h>

#include <random>

#include "archive_fixture.h"
#include "data/postgres_engine.h"
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

// The server's reading: the archive's names in their own spelling, whatever case the
// statement used; other words as written; "?" numbered; the rewriting above still done.
class PostgresRewriteTest : public ::testing::TestWithParam<Rewrite> {};

TEST_P(PostgresRewriteTest, NamesTheArchivesOwnObjects) {
    ArchiveNames names;
    for (const char* name : {"tabPDA", "ID Leasing", "ID", "Data", "tabContratti", "DescBene"}) {
        names.Add(name);
    }
    EXPECT_EQ(TranslateJetSql(GetParam().jet, PostgresDialect(names)), GetParam().sqlite);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, PostgresRewriteTest,
    ::testing::Values(
        Rewrite{"DELETE * FROM tabpda WHERE [id leasing] = 7",
                "DELETE FROM \"tabPDA\" WHERE \"ID Leasing\" = 7"},
        Rewrite{"SELECT TOP 1 Id FROM TABCONTRATTI ORDER BY id DESC",
                "SELECT \"ID\" FROM \"tabContratti\" ORDER BY \"ID\" DESC LIMIT 1"},
        Rewrite{"SELECT COUNT(ID) as A, Trim(DescBene) FROM tabContratti AS c",
                "SELECT COUNT(\"ID\") as A, Trim(\"DescBene\") FROM \"tabContratti\" AS c"},
        Rewrite{"Select ID From tabContratti Where Trim(DescBene) = 'data' COLLATE NOCASE",
                "Select \"ID\" From \"tabContratti\" Where Trim(\"DescBene\") = 'data' COLLATE "
                "NOCASE"},
        Rewrite{"INSERT INTO tabPDA ([ID Leasing], Data, [Nuova colonna]) VALUES (?, #1/3/2006#, ?)",
                "INSERT INTO \"tabPDA\" (\"ID Leasing\", \"Data\", \"Nuova colonna\") VALUES "
                "($1, '2006-01-03', $2)"},
        Rewrite{"SELECT c.ID FROM tabContratti AS c WHERE c.DescBene = \"l'a?\" ;",
                "SELECT c.\"ID\" FROM \"tabContratti\" AS c WHERE c.\"DescBene\" = 'l''a?' ;"}));

TEST(PostgresRewrite, TextAfterTheStatementIsRefused) {
    const ArchiveNames names;
    for (const char* bad : {"DELETE * FROM tabPDA; DROP TABLE tabPDA", "SELECT 1; SELECT 2"}) {
        try {
            TranslateJetSql(bad, PostgresDialect(names));
            ADD_FAILURE() << bad;
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.Error(), TrailingTextError()) << bad;
        }
    }
    EXPECT_EQ(TranslateJetSql("SELECT ';' FROM t ;; ", PostgresDialect(names)),
              "SELECT ';' FROM t ;; ");
}

TEST(PostgresRewrite, AnotherDatabaseOnTheSameServer) {
    EXPECT_EQ(PostgresUriWithDatabase("postgresql:///postgres?host=/tmp/a/b&user=q", "archivio"),
              "postgresql:///archivio?host=/tmp/a/b&user=q");
    EXPECT_EQ(PostgresUriWithDatabase("postgresql://anna@server:5433/x", "archivio"),
              "postgresql://anna@server:5433/archivio");
    EXPECT_EQ(PostgresUriWithDatabase("postgres://server", "archivio"),
              "postgres://server/archivio");
}

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
// FormatSqlValue, must come back from either engine byte for byte.
class FuzzedLiterals : public ::testing::TestWithParam<testing::Engine> {};
INSTANTIATE_TEST_SUITE_P(Engines, FuzzedLiterals, testing::kEngines, testing::EngineName);

TEST_P(FuzzedLiterals, ComeBackUnchanged) {
    testing::TempArchive archive(GetParam());
    QP_REQUIRE_ARCHIVE(archive);
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
