#include "data/reference_rate_values.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "archive_fixture.h"
#include "data/sql_helpers.h"
#include "data/sqlite_engine.h"

namespace quotaplan {
namespace {

using testing::DumpTable;
using testing::TempArchive;

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

class ReferenceRateValuesTest : public ::testing::Test {
protected:
    TempArchive archive;
    Database db = archive.Open();
    RecordingMessageBoxes boxes;
    ReferenceRateValues values{db, boxes};
    // The seeded archive: "Euribor 1 mese" holds three values.
    std::int32_t euribor1 = GetIdByDescription(db, "supTxRiferimento", "Euribor 1 mese");

    std::filesystem::path WriteFile(const std::string& text) {
        const auto file = archive.Folder() / "serie.csv";
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    std::int32_t NewRate(const std::string& name) {
        EXPECT_TRUE(
            db.Execute("INSERT INTO supTxRiferimento (Descrizione) VALUES ('" + name + "')"));
        return GetIdByDescription(db, "supTxRiferimento", name);
    }
};

TEST_F(ReferenceRateValuesTest, SeededSeriesInDateOrder) {
    EXPECT_EQ(values.Series(euribor1),
              (std::vector<IndexValue>{
                  {Ymd(2023, 1, 2), 1.88}, {Ymd(2023, 7, 3), 3.45}, {Ymd(2024, 1, 2), 3.87}}));
    EXPECT_TRUE(values.HasValues(euribor1));
    EXPECT_FALSE(values.HasValues(NewRate("Euribor 12 mesi")));
}

TEST_F(ReferenceRateValuesTest, WriteAddsAndReplacesKeepingEveryDecimal) {
    const SeriesWrite write =
        values.Write(euribor1, {{Ymd(2023, 7, 3), -0.356}, {Ymd(2024, 4, 2), 3.856}});
    EXPECT_TRUE(write.written);
    EXPECT_EQ(write.added, 1);
    EXPECT_EQ(write.replaced, 1);
    EXPECT_EQ(values.Series(euribor1), (std::vector<IndexValue>{{Ymd(2023, 1, 2), 1.88},
                                                                {Ymd(2023, 7, 3), -0.356},
                                                                {Ymd(2024, 1, 2), 3.87},
                                                                {Ymd(2024, 4, 2), 3.856}}));
    EXPECT_EQ(testing::CountOf(db,
                               "SELECT COUNT(*) FROM tabValTxRiferimento WHERE "
                               "[ID TxRiferimento] = " +
                                   std::to_string(euribor1)),
              4);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ReferenceRateValuesTest, ReplaceMovesAValueAndDeleteRemovesIt) {
    SeriesWrite moved = values.Replace(euribor1, Ymd(2023, 7, 3), {Ymd(2023, 7, 4), 3.5});
    EXPECT_TRUE(moved.written);
    EXPECT_EQ(moved.added, 1);
    // Onto a date that has a value: that value goes.
    moved = values.Replace(euribor1, Ymd(2023, 7, 4), {Ymd(2024, 1, 2), 4.0});
    EXPECT_EQ(moved.replaced, 1);
    EXPECT_EQ(values.Series(euribor1),
              (std::vector<IndexValue>{{Ymd(2023, 1, 2), 1.88}, {Ymd(2024, 1, 2), 4.0}}));
    EXPECT_TRUE(values.Delete(euribor1, Ymd(2023, 1, 2)));
    EXPECT_EQ(values.Series(euribor1), (std::vector<IndexValue>{{Ymd(2024, 1, 2), 4.0}}));
}

TEST_F(ReferenceRateValuesTest, RowsWithoutDateOrValueAreInForceOnNoDay) {
    const std::int32_t rate = NewRate("Prova");
    const std::string insert =
        "INSERT INTO tabValTxRiferimento ([ID TxRiferimento], Data, Valore) VALUES (" +
        std::to_string(rate) + ", ";
    ASSERT_TRUE(db.Execute(insert + "Null, 2)"));
    ASSERT_TRUE(db.Execute(insert + "#1/1/2026#, Null)"));
    EXPECT_TRUE(values.Series(rate).empty());
    EXPECT_FALSE(values.HasValues(rate));
}

TEST_F(ReferenceRateValuesTest, ImportWritesTheFileInOneGo) {
    const std::int32_t rate = NewRate("Euribor 3 mesi 2026");
    const auto file =
        WriteFile("Data;Valore\r\n01/01/2026;2,00\r\n01/04/2026;2,55\r\n01/07/2026;1,75\r\n");
    const SeriesImport imported = ImportIndexSeries(values, rate, "Euribor 3 mesi 2026", file);
    EXPECT_EQ(imported.status, SeriesImport::Status::Imported);
    EXPECT_EQ(imported.message,
              "Importati 3 valori di \"Euribor 3 mesi 2026\": 3 nuovi, 0 sostituiti.");
    EXPECT_EQ(values.Series(rate),
              (std::vector<IndexValue>{
                  {Ymd(2026, 1, 1), 2.0}, {Ymd(2026, 4, 1), 2.55}, {Ymd(2026, 7, 1), 1.75}}));

    // Imported again with one more date: the known dates are replaced, not doubled.
    const SeriesImport again = ImportIndexSeries(values, rate, "Euribor 3 mesi 2026",
                                                 WriteFile("01/07/2026;1,80\n01/10/2026;1,90\n"));
    EXPECT_EQ(again.message,
              "Importati 2 valori di \"Euribor 3 mesi 2026\": 1 nuovo, 1 sostituito.");
    EXPECT_EQ(values.Series(rate).size(), 4u);
    EXPECT_EQ(values.Series(rate).back(), (IndexValue{Ymd(2026, 10, 1), 1.9}));
    EXPECT_EQ(ImportIndexSeries(values, rate, "X", WriteFile("01/11/2026;2\n")).message,
              "Importato 1 valore di \"X\": 1 nuovo, 0 sostituiti.");
}

TEST_F(ReferenceRateValuesTest, BadFileImportsNothing) {
    const std::string before = DumpTable(db, "tabValTxRiferimento");
    const SeriesImport refused = ImportIndexSeries(
        values, euribor1, "Euribor 1 mese",
        WriteFile("Data;Valore\n01/08/2024;3,60\n01/09/2024;3.55\n01/10/2024;3,40\n"));
    EXPECT_EQ(refused.status, SeriesImport::Status::Refused);
    EXPECT_EQ(refused.message,
              "Riga 3: valore non valido \"3.55\" (serve un numero con la virgola decimale, come "
              "2,50). Nessun valore importato.");
    EXPECT_EQ(DumpTable(db, "tabValTxRiferimento"), before);
    EXPECT_TRUE(boxes.shown.empty());
}

// A failure halfway through the writes rolls back the lines already written.
TEST_F(ReferenceRateValuesTest, DatabaseFailureMidwayImportsNothing) {
    ASSERT_EQ(
        sqlite3_exec(SqliteHandleOf(db),
                     "CREATE TRIGGER refuse_high BEFORE INSERT ON tabValTxRiferimento "
                     "WHEN NEW.Valore > 50 BEGIN SELECT RAISE(ABORT, 'valore rifiutato'); END",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    const std::string before = DumpTable(db, "tabValTxRiferimento");
    const SeriesImport failed = ImportIndexSeries(
        values, euribor1, "Euribor 1 mese",
        WriteFile("01/08/2024;3,60\n01/01/2023;1,00\n01/09/2024;60\n01/10/2024;3,40\n"));
    EXPECT_EQ(failed.status, SeriesImport::Status::Failed);
    EXPECT_FALSE(failed.write.written);
    EXPECT_EQ(DumpTable(db, "tabValTxRiferimento"), before);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].prompt.find("valore rifiutato"), std::string::npos)
        << boxes.shown[0].prompt;
}

}  // namespace
}  // namespace quotaplan
