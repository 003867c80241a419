#include "data/sql_helpers.h"

#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "common/run_time_error.h"
#include "data/execute_sql.h"

namespace quotaplan {
namespace {

using testing::TempArchive;

struct LiteralCase {
    SqlValue value;
    int code;
    const char* literal;
};

class FormatSqlValueTest : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(FormatSqlValueTest, WritesTheLiteral) {
    EXPECT_EQ(FormatSqlValue(GetParam().value, GetParam().code), GetParam().literal);
}

INSTANTIATE_TEST_SUITE_P(
    Literals, FormatSqlValueTest,
    ::testing::Values(LiteralCase{12.5, 6, "12.50"}, LiteralCase{std::string("12,5"), 6, "12.50"},
                      LiteralCase{1234567.891, 6, "1234567.89"}, LiteralCase{-0.125, 4, "-0.13"},
                      LiteralCase{5.126, 4, "5.13"}, LiteralCase{2.5, 3, "3"},
                      LiteralCase{std::int64_t{42}, 3, "42"},
                      LiteralCase{*CalendarDate::FromYmd(2006, 1, 3), 7, "#1/3/2006#"},
                      LiteralCase{std::string("05/12/06"), 7, "#12/5/2006#"},
                      LiteralCase{std::monostate{}, 7, "Null"},
                      LiteralCase{std::monostate{}, 202, "Null"}, LiteralCase{true, 11, "-1"},
                      LiteralCase{false, 11, "0"}, LiteralCase{std::int64_t{1}, 11, "1"},
                      LiteralCase{std::string("7"), 17, "7"},
                      LiteralCase{std::string("l'anno"), 202, "'l''anno'"},
                      LiteralCase{std::string("il \"bello\""), 202, "'il \"bello\"'"},
                      LiteralCase{std::string("x"), 99, "'x'"}));

TEST(SqlHelpers, KeywordTable) {
    EXPECT_EQ(SqlKeyword(1), "INSERT INTO ");
    EXPECT_EQ(SqlKeyword(8), "* ");
    EXPECT_EQ(SqlKeyword(18), "VALUES");
    EXPECT_EQ(SqlKeyword(20), "\"");
    EXPECT_EQ(SqlKeyword(25), "Null");
    EXPECT_EQ(SqlKeyword(0), "");
    EXPECT_EQ(SqlKeyword(26), "");
}

TEST(ExecuteSqlMessages, ErrorLinesUseTheItalianTableOrTheEngineText) {
    EXPECT_EQ(ErrorLine({3021, "ignored"}), "3021 - Nessun record corrente!");
    EXPECT_EQ(ErrorLine({3706, ""}), "3706 - Database non trovato!");
    EXPECT_EQ(ErrorLine({3713, ""}),
              "3713 - Impossibile eseguire l'operazione assieme ad altre operazioni asincrone!");
    EXPECT_EQ(ErrorLine({-2147467259, "Errore non specificato"}),
              "-2147467259 - Errore non specificato");
}

TEST(ExecuteSqlMessages, FailuresAreShownOnceEachLineEndingInALineFeed) {
    TempArchive archive;
    auto db = archive.Open();
    RecordingMessageBoxes boxes;
    EXPECT_TRUE(ExecuteSql(db, boxes, "UPDATE supTipologia SET Descrizione = 'x' WHERE ID = 99"));
    EXPECT_TRUE(boxes.shown.empty());

    // An earlier error still in the list is reported with the new one, in order.
    EXPECT_FALSE(db.Execute("DELETE * FROM tabNessuna"));
    EXPECT_FALSE(ExecuteSql(db, boxes, "INSERT INTO supTipologia (ID) VALUES (1)"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt,
              "1 - no such table: tabNessuna\n3719 - I dati inseriti sono in confitto con le "
              "relazioni del database. Errore di univocità!\n");
    EXPECT_EQ(boxes.shown[0].title, "Quotaplan 4.0.0");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::None);
    EXPECT_TRUE(db.Errors().empty());

    EXPECT_FALSE(ExecuteSql(db, boxes, "DELETE * FROM supTipologia WHERE Descrizione = 'a"));
    EXPECT_FALSE(ExecuteSql(db, boxes, "DELETE * FROM supTipologia; DROP TABLE tabPDA"));
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[1].prompt,
              "-2147217900 - Errore di sintassi nell'istruzione SQL: stringa non terminata.\n");
    EXPECT_EQ(boxes.shown[2].prompt,
              "-2147217900 - Caratteri trovati dopo la fine dell'istruzione SQL.\n");
    EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(ID) FROM supTipologia"), 3);
}

TEST(SqlHelpers, LookupsAndListsOfTheSeededArchive) {
    TempArchive archive;
    auto db = archive.Open();
    RecordingMessageBoxes boxes;
    EXPECT_EQ(GetIdByDescription(db, "supTipologia", "MUTUO"), 2);
    EXPECT_EQ(GetIdByDescription(db, "supTipologia", "Nessuno"), 0);
    EXPECT_EQ(GetDescriptionById(db, "supTxRiferimento", 5), "IRS 10 anni");
    EXPECT_EQ(GetDescriptionById(db, "supTxRiferimento", 55), "");
    EXPECT_EQ(GetLastId(db, "supTxRiferimento"), 5);

    ASSERT_TRUE(ExecuteSql(db, boxes, "INSERT INTO supTipologia (Descrizione) VALUES ('Società')"));
    EXPECT_EQ(GetIdByDescription(db, "supTipologia", "SOCIETÀ"), 4);

    ASSERT_TRUE(
        db.Execute("CREATE TABLE supProva (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                   "Descrizione TEXT COLLATE NOCASE)"));
    ASSERT_TRUE(db.Execute("CREATE TABLE SupAltra (ID INTEGER PRIMARY KEY, Descrizione TEXT)"));
    EXPECT_EQ(FillTableList(db), (std::vector<std::string>{"Prova", "Tipologia", "TxRiferimento"}));

    RecordBuffer buffer;
    EXPECT_EQ(FillListBox(db, buffer, "supProva"), std::vector<std::string>{""});
    EXPECT_EQ(GetLastId(db, "supProva"), 0);
    DeleteWhere(db, boxes, "supTipologia", "ID", 4);
    EXPECT_EQ(FillListBox(db, buffer, "supTipologia"),
              (std::vector<std::string>{"Leasing", "Mutuo", "Credito al consumo"}));
    EXPECT_TRUE(boxes.shown.empty());

    // An identifier beyond 32 bits is an overflow, never a wrapped number.
    ASSERT_TRUE(db.Execute("INSERT INTO supProva (ID, Descrizione) VALUES (2147483648, 'x')"));
    EXPECT_THROW(GetLastId(db, "supProva"), RunTimeError);
    EXPECT_EQ(DbValue::Real(-2147483648.4).ToLong(), -2147483648);
}

TEST(SqlHelpers, RecordBufferHoldsTheLastRecordByPosition) {
    TempArchive archive;
    auto db = archive.Open();
    RecordBuffer buffer;
    EXPECT_TRUE(buffer.NoRecord());
    EXPECT_EQ(buffer.GetFieldValue(23), DbValue::Text(""));
    ASSERT_TRUE(LoadRecord(db, buffer, "supTxRiferimento", "3", false));
    EXPECT_FALSE(buffer.NoRecord());
    EXPECT_EQ(buffer.GetFieldValue(1), DbValue::Integer(3));
    EXPECT_EQ(buffer.GetFieldValue(2), DbValue::Text("Euribor 3 mesi"));
    buffer.Clear();
    EXPECT_EQ(buffer.GetFieldValue(2), DbValue::Text(""));
    EXPECT_THROW(LoadRecord(db, buffer, "tabNessuna", "1", false), DatabaseError);
}

TEST(SqlHelpers, ComboMatchingIsExact) {
    const std::vector<std::string> entries = {"Leasing", "Mutuo", "Mutuo "};
    EXPECT_EQ(SelectComboItem(entries, "Mutuo"), 1);
    EXPECT_EQ(SelectComboItem(entries, "Mutuo "), 2);
    EXPECT_EQ(SelectComboItem(entries, "mutuo"), std::nullopt);
    EXPECT_EQ(SelectComboItem(entries, ""), std::nullopt);
}

TEST(SqlHelpers, LikeAndEqualsFoldAccentedLetters) {
    TempArchive archive;
    auto db = archive.Open();
    ASSERT_TRUE(db.Execute("INSERT INTO supTipologia (Descrizione) VALUES ('Perché così')"));
    EXPECT_EQ(testing::CountOf(
                  db, "SELECT COUNT(ID) FROM supTipologia WHERE Descrizione Like 'PERCHÉ COSÌ'"),
              1);
    EXPECT_EQ(testing::CountOf(
                  db, "SELECT COUNT(ID) FROM supTipologia WHERE Descrizione Like 'perch_ c%'"),
              1);
    EXPECT_EQ(testing::CountOf(
                  db, "SELECT COUNT(ID) FROM supTipologia WHERE Descrizione = 'perche cosi'"),
              0);
}

}  // namespace
}  // namespace quotaplan
