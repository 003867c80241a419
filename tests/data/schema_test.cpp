#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "archive_fixture.h"
#include "data/connection.h"
#include "data/lookup_lists.h"
#include "data/sql_helpers.h"

namespace quotaplan {
namespace {

using testing::TempArchive;

struct ColumnAt {
    int position;
    const char* name;
    const char* declaredType;
};

TEST(Schema, NamedContractColumnsStandAtTheirPositions) {
    TempArchive archive;
    auto db = archive.Open();
    std::vector<std::pair<std::string, std::string>> columns;
    for (Recordset info(db, "PRAGMA table_info(tabContratti)"); !info.Eof(); info.MoveNext()) {
        columns.emplace_back(info.Value("name").ToText(), info.Value("type").ToText());
    }
    ASSERT_GE(columns.size(), 44u);
    const ColumnAt expected[] = {
        {6, "ID Tipologia", "LONG"},       {22, "DescBene", "TEXT"},
        {23, "Valore", "CURRENCY"},        {24, "Maxicanone", "CURRENCY"},
        {25, "Riscatto", "CURRENCY"},      {26, "Periodicita", "INTEGER"},
        {27, "NumRate", "INTEGER"},        {28, "DataContratto", "DATE"},
        {30, "DataInizio", "DATE"},        {31, "Tasso", "SINGLE"},
        {32, "ID TassoRif", "LONG"},       {33, "Spread", "SINGLE"},
        {35, "Anticipato", "YESNO"},       {36, "Semplice", "YESNO"},
        {39, "Indicizzato", "YESNO"},      {41, "SpeseContratto", "CURRENCY"},
        {42, "SpeseAddebito", "CURRENCY"}, {43, "DataRiscatto", "DATE"},
        {44, "IntRiscatto", "YESNO"}};
    for (const auto& column : expected) {
        EXPECT_EQ(columns[column.position - 1].first, column.name) << column.position;
        EXPECT_EQ(columns[column.position - 1].second, column.declaredType) << column.position;
    }
}

TEST(Schema, FieldsCarryTypeCodesFromDeclaredTypes) {
    TempArchive archive;
    auto db = archive.Open();
    ASSERT_TRUE(db.Execute(
        "INSERT INTO tabPDA ([ID Leasing], Tipo, Data, Tasso, Importo) VALUES (1, 'Rata', "
        "#1/3/2006#, 5.25, 12.50)"));
    Recordset row(db, "SELECT * FROM tabPDA");
    EXPECT_EQ(row.GetField(0).typeCode, 3);
    EXPECT_EQ(row.GetField("Tipo").typeCode, 202);
    EXPECT_EQ(row.GetField("Data").typeCode, 7);
    EXPECT_EQ(row.GetField("Data").value.ToText(), "2006-01-03");
    EXPECT_EQ(row.GetField("Tasso").typeCode, 4);
    EXPECT_EQ(row.GetField("Importo").typeCode, 6);
    EXPECT_EQ(row.GetField("Importo").name, "Importo");
    Recordset contract(db, "SELECT Anticipato FROM tabContratti");
    EXPECT_EQ(contract.FieldCount(), 1);
    EXPECT_TRUE(contract.Eof());
}

TEST(Schema, SeedHoldsTheLookupValuesAndNoContracts) {
    TempArchive archive;
    auto db = archive.Open();
    RecordBuffer buffer;
    EXPECT_EQ(FillCombo(db, buffer, "supTipologia"),
              (std::vector<std::string>{"Leasing", "Mutuo", "Credito al consumo"}));
    EXPECT_EQ(FillCombo(db, buffer, "supTxRiferimento"),
              (std::vector<std::string>{"Fisso", "Euribor 1 mese", "Euribor 3 mesi",
                                        "Euribor 6 mesi", "IRS 10 anni"}));
    EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 0);
    RecordingMessageBoxes boxes;
    EXPECT_TRUE(LoadLookupLists(db, boxes));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(Schema, LookupCheckFailsWithMessageWhenATableIsMissing) {
    TempArchive archive;
    auto db = archive.Open();
    ASSERT_TRUE(db.Execute("DROP TABLE tabValTxRiferimento"));
    RecordingMessageBoxes boxes;
    EXPECT_FALSE(LoadLookupLists(db, boxes));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt,
              "no such table: tabValTxRiferimento\nIndirizzo errore: LoadLookupLists");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Critical);
}

TEST(Schema, EmptyRateValuesAreAcceptedAtStart) {
    TempArchive archive;
    auto db = archive.Open();
    ASSERT_TRUE(db.Execute("DELETE * FROM tabValTxRiferimento"));
    RecordingMessageBoxes boxes;
    EXPECT_TRUE(LoadLookupLists(db, boxes));
}

// The build's archive rule: create the file when missing, never touch an existing one.
TEST(Schema, BuildCreatesTheArchiveOnlyWhenMissing) {
    TempArchive archive;
    const auto target = archive.Folder() / "nuovo.mdb";
    const std::string command = std::string(QUOTAPLAN_CMAKE) +
                                " -DSQLITE3=" QUOTAPLAN_SQLITE3 " -DSCHEMA=" QUOTAPLAN_SCHEMA_SQL
                                " -DVIEWS=" QUOTAPLAN_VIEWS_SQL " -DSEED=" QUOTAPLAN_SEED_SQL
                                " -DKEEP=ON -DARCHIVE=" +
                                target.string() + " -P " QUOTAPLAN_CREATE_ARCHIVE_SCRIPT;
    ASSERT_EQ(std::system(command.c_str()), 0);
    {
        auto db = Database::Open(target);
        EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(ID) FROM supTipologia"), 3);
        ASSERT_TRUE(db.Execute("INSERT INTO supTipologia (Descrizione) VALUES ('Mio')"));
    }
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto db = Database::Open(target);
    EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(ID) FROM supTipologia"), 4);
}

// views.sql alone brings an archive made with earlier views up to date and keeps its data.
TEST(Schema, ViewsScriptReplacesTheViewsOfAnExistingArchive) {
    TempArchive archive;
    {
        auto db = archive.Open();
        ASSERT_TRUE(db.Execute(
            "INSERT INTO tabContratti (DescBene, Tasso, Spread) VALUES ('Esistente', 5, 0)"));
        ASSERT_TRUE(db.Execute("DROP VIEW qryRDebResTotale"));
        ASSERT_TRUE(db.Execute("CREATE VIEW qryRDebResTotale AS SELECT -1 AS SommaDiDebitoRes"));
    }
    const std::string command = std::string(QUOTAPLAN_SQLITE3) + " -bail " +
                                archive.File().string() + " < " QUOTAPLAN_VIEWS_SQL;
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto db = archive.Open();
    EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 1);
    EXPECT_EQ(testing::CountOf(db, "SELECT * FROM qryRDebResTotale"), 0);
    EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'view'"), 5);
}

}  // namespace
}  // namespace quotaplan
