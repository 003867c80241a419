#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "data/database.h"
#include "data/plan_line_rows.h"
#include "data/sqlite_engine.h"

#include <sqlite3.h>

namespace quotaplan {
namespace {

using testing::TempArchive;

// "typeof|value" of each stored row, to see exactly what a bound value became.
std::string Stored(Database& db, const std::string& sql) {
    std::string out;
    for (Recordset rows(db, sql); !rows.Eof(); rows.MoveNext()) {
        for (int k = 0; k < rows.FieldCount(); ++k) out += rows.Value(k).ToText() + "|";
        out += "\n";
    }
    return out;
}

class PreparedStatementTest : public ::testing::Test {
protected:
    TempArchive archive;
    Database db = archive.Open();
};

TEST_F(PreparedStatementTest, RunsOncePerRunWithTheValuesBoundAsTheyAre) {
    auto insert = db.Prepare(
        "INSERT INTO tabPDA ([ID Leasing], Tipo, Data, Tasso, Importo) VALUES (?, ?, ?, ?, ?)");
    ASSERT_TRUE(insert.IsReady());
    const struct {
        DbValue tipo;
        DbValue importo;
    } rows[] = {{DbValue::Text("Rata"), DbValue::Real(711.25)},
                // Bound texts are values, never SQL: no rewriting of "#...#", no quoting.
                {DbValue::Text("l'anno #1/3/2006# \"x\""), DbValue::Integer(5)},
                {DbValue(), DbValue()}};
    for (const auto& row : rows) {
        EXPECT_TRUE(insert.Bind(1, DbValue::Integer(7)));
        EXPECT_TRUE(insert.Bind(2, row.tipo));
        EXPECT_TRUE(insert.Bind(3, DbValue::Text("2024-02-15")));
        EXPECT_TRUE(insert.Bind(4, DbValue::Real(5.25)));
        EXPECT_TRUE(insert.Bind(5, row.importo));
        EXPECT_TRUE(insert.Step());
    }
    // Values stay bound between runs.
    EXPECT_TRUE(insert.Step());
    EXPECT_TRUE(db.Errors().empty());
    EXPECT_EQ(Stored(db,
                     "SELECT ID, [ID Leasing], typeof(Tipo), Tipo, Data, Tasso, typeof(Importo), "
                     "Importo FROM tabPDA ORDER BY ID"),
              "1|7|text|Rata|2024-02-15|5,25|real|711,25|\n"
              "2|7|text|l'anno #1/3/2006# \"x\"|2024-02-15|5,25|integer|5|\n"
              "3|7|null||2024-02-15|5,25|null||\n"
              "4|7|null||2024-02-15|5,25|null||\n");
}

TEST_F(PreparedStatementTest, TheStatementTextIsRewrittenFromTheJetDialect) {
    auto insert = db.Prepare(
        "INSERT INTO tabPDA ([ID Leasing], Tipo, Data) VALUES (?, \"Maxi.\", #1/3/2006#)");
    ASSERT_TRUE(insert.Bind(1, DbValue::Integer(3)));
    ASSERT_TRUE(insert.Step());
    EXPECT_EQ(Stored(db, "SELECT [ID Leasing], Tipo, Data FROM tabPDA"), "3|Maxi.|2006-01-03|\n");
    auto purge = db.Prepare("DELETE * FROM tabPDA WHERE [ID Leasing] = ?");
    ASSERT_TRUE(purge.Bind(1, DbValue::Integer(3)));
    ASSERT_TRUE(purge.Step());
    EXPECT_EQ(db.Changes(), 1);
}

TEST_F(PreparedStatementTest, FailuresGoToTheErrorListAndTheStatementRunsOnAfterwards) {
    auto missing = db.Prepare("INSERT INTO tabNessuna (A) VALUES (?)");
    EXPECT_FALSE(missing.IsReady());
    EXPECT_FALSE(missing.Bind(1, DbValue::Integer(1)));
    EXPECT_FALSE(missing.Step());
    EXPECT_EQ(db.Errors(), (std::vector<DbError>{{1, "no such table: tabNessuna"},
                                                 {3704, "L'oggetto è chiuso!"},
                                                 {3704, "L'oggetto è chiuso!"}}));
    db.ClearErrors();

    EXPECT_FALSE(db.Prepare("DELETE * FROM supTipologia; DROP TABLE tabPDA").IsReady());
    EXPECT_FALSE(db.Prepare("DELETE * FROM supTipologia WHERE Descrizione = 'a").IsReady());
    ASSERT_EQ(db.Errors().size(), 2u);
    EXPECT_EQ(db.Errors()[0].description, "Caratteri trovati dopo la fine dell'istruzione SQL.");
    EXPECT_EQ(db.Errors()[1].description,
              "Errore di sintassi nell'istruzione SQL: stringa non terminata.");
    db.ClearErrors();

    auto insert = db.Prepare("INSERT INTO supTipologia (ID, Descrizione) VALUES (?, ?)");
    EXPECT_FALSE(insert.Bind(3, DbValue::Integer(1)));
    EXPECT_EQ(db.Errors(), (std::vector<DbError>{{25, "column index out of range"}}));
    db.ClearErrors();
    ASSERT_TRUE(insert.Bind(1, DbValue::Integer(1)));  // the seeded "Leasing"
    ASSERT_TRUE(insert.Bind(2, DbValue::Text("Doppione")));
    EXPECT_FALSE(insert.Step());
    EXPECT_EQ(db.Errors().size(), 1u);
    EXPECT_EQ(db.Errors()[0].number, kErrIntegrityViolation);
    db.ClearErrors();
    ASSERT_TRUE(insert.Bind(1, DbValue::Integer(40)));
    EXPECT_TRUE(insert.Step());
    EXPECT_EQ(Stored(db, "SELECT Descrizione FROM supTipologia WHERE ID = 40"), "Doppione|\n");

    db.Close();
    EXPECT_FALSE(insert.Step());
    EXPECT_EQ(db.Errors(), (std::vector<DbError>{{3704, "L'oggetto è chiuso!"}}));
}

}  // namespace
}  // namespace quotaplan

namespace quotaplan {
namespace {

class RowsInBulk : public ::testing::TestWithParam<testing::Engine> {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive); }

    TempArchive archive{GetParam()};
    Database db = archive.Open();
};

INSTANTIATE_TEST_SUITE_P(Engines, RowsInBulk, testing::kEngines, testing::EngineName);

// Plan lines go by COPY to a server and by prepared INSERTs to a file: both store the same
// rows, each amount with the two decimals of its SQL literal, in the lines' order.
TEST_P(RowsInBulk, PlanLinesStoreTheSameWhicheverRoadTheyTake) {
    EXPECT_EQ(db.AppendsRowsInBulk(), GetParam() == testing::Engine::Postgresql);
    std::vector<PlanLine> lines(3);
    lines[0].kind = PlanLineKind::Maxi;
    lines[0].date = *CalendarDate::FromIso("2024-01-15");
    lines[0].stored = lines[0].capital = 1000;
    for (int k = 1; k < 3; ++k) {
        lines[k].number = k;
        lines[k].date = *CalendarDate::FromIso(k == 1 ? "2024-02-15" : "2024-03-15");
        lines[k].ratePercent = 4.125f;
        lines[k].stored = 100.005 * k;
        lines[k].interest = 3.3333;
        lines[k].capital = lines[k].stored - 3.3333;
        lines[k].residual = 1000.0 / k;
    }
    PlanLineWriter writer(db);
    ASSERT_TRUE(writer.Insert(9, lines, 1));
    ASSERT_TRUE(writer.Insert(9, lines, 0));
    EXPECT_TRUE(writer.Insert(9, lines, 3));  // nothing from the end on
    const std::string instalments = "Rata|2024-02-15|4,13|100,01|3,33|96,67|1000|\n"
                                    "Rata|2024-03-15|4,13|200,01|3,33|196,68|500|\n";
    EXPECT_EQ(Stored(db,
                     "SELECT Tipo, Data, Tasso, Importo, QInteressi, QCapitale, DebitoRes FROM "
                     "tabPDA WHERE [ID Leasing] = 9 ORDER BY ID"),
              instalments + "Maxi.|2024-01-15|0|1000|0|1000|0|\n" + instalments);
}

// A text with the characters COPY's format gives a meaning to arrives as it was, and a row the
// server refuses leaves nothing of it and the connection usable.
TEST_P(RowsInBulk, TextsArriveAsTheyAreAndARefusedRowWritesNothing) {
    if (!db.AppendsRowsInBulk()) {
        EXPECT_FALSE(db.AppendRows("tabPDA", {"Tipo"}, {DbValue::Text("x")}));
        EXPECT_EQ(db.Errors().size(), 1u);
        return;
    }
    const std::string odd = "a\tb\nc\\N\\d\re";
    ASSERT_TRUE(db.AppendRows("tabPDA", {"ID Leasing", "Tipo", "Data"},
                              {DbValue::Integer(4), DbValue::Text(odd), DbValue(),
                               DbValue::Integer(4), DbValue(), DbValue::Text("2024-05-31")}));
    EXPECT_EQ(db.Changes(), 2);
    Recordset rows(db, "SELECT Tipo, Data FROM tabPDA WHERE [ID Leasing] = 4 ORDER BY ID");
    EXPECT_EQ(rows.Value(0).ToText(), odd);
    EXPECT_TRUE(rows.Value(1).IsNull());
    rows.MoveNext();
    EXPECT_TRUE(rows.Value(0).IsNull());

    EXPECT_FALSE(db.AppendRows("tabPDA", {"ID Leasing", "Data"},
                               {DbValue::Integer(5), DbValue::Text("2024-05-31"),
                                DbValue::Integer(5), DbValue::Text("31/02/2024")}));
    ASSERT_EQ(db.Errors().size(), 1u);
    db.ClearErrors();
    EXPECT_EQ(Stored(db, "SELECT COUNT(*) FROM tabPDA WHERE [ID Leasing] = 5"), "0|\n");
}

}  // namespace
}  // namespace quotaplan

namespace quotaplan {
namespace {

std::int64_t CacheSize(const Database& db) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(SqliteHandleOf(db), "PRAGMA cache_size", -1, &statement, nullptr);
    sqlite3_step(statement);
    const std::int64_t size = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return size;
}

// A portfolio run keeps its transactions' pages in a large cache, and leaves the connection
// with the cache it had, which the summary's queries are measured with.
TEST_F(PreparedStatementTest, LargeTransactionsLastAsLongAsTheRun) {
    const std::int64_t usual = CacheSize(db);
    {
        const WithLargeTransactions run(db);
        EXPECT_EQ(CacheSize(db), -65536);
    }
    EXPECT_EQ(CacheSize(db), usual);
}

}  // namespace
}  // namespace quotaplan

namespace quotaplan {
namespace {

// A run over a portfolio reads on a second connection: it sees what is committed, not what
// the first connection's open transaction wrote, and writes nothing itself.
TEST_P(RowsInBulk, AReaderAlongsideSeesWhatIsCommittedAndWritesNothing) {
    auto reader = db.ReaderAlongside();
    ASSERT_TRUE(reader.has_value());
    const auto count = [&reader] {
        return Stored(*reader, "SELECT COUNT(*) FROM tabPDA WHERE [ID Leasing] = 6");
    };
    ASSERT_TRUE(db.Execute("INSERT INTO tabPDA ([ID Leasing], Tipo) VALUES (6, 'Rata')"));
    EXPECT_EQ(count(), "1|\n");
    ASSERT_TRUE(db.Execute("BEGIN IMMEDIATE"));
    ASSERT_TRUE(db.Execute("INSERT INTO tabPDA ([ID Leasing], Tipo) VALUES (6, 'Rata')"));
    EXPECT_EQ(count(), "1|\n");
    ASSERT_TRUE(db.Execute("COMMIT"));
    EXPECT_EQ(count(), "2|\n");
    EXPECT_FALSE(reader->Execute("DELETE FROM tabPDA"));
    EXPECT_EQ(count(), "2|\n");

    Database memory(CreateSqliteMemoryEngine());
    EXPECT_FALSE(memory.ReaderAlongside().has_value());
}

}  // namespace
}  // namespace quotaplan
