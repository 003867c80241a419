// The usury table: its file read line by line, and the table and the types' categories
// stored on each engine.
#include "data/usury_thresholds.h"

#include <gtest/gtest.h>

#include <fstream>

#include "archive_fixture.h"
#include "data/sql_helpers.h"
#include "data/usury_threshold_file.h"

namespace quotaplan {
namespace {

using testing::Engine;
using testing::TempArchive;

CalendarDate Day(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

std::vector<UsuryRate> Rows(std::string_view text) {
    auto read = ReadUsuryThresholdText(text);
    if (const auto* refusal = std::get_if<IndexFileRefusal>(&read)) {
        ADD_FAILURE() << refusal->message;
        return {};
    }
    return std::get<std::vector<UsuryRate>>(read);
}

// What a spreadsheet writes is read as it stands: a byte-order mark, quotes, blanks, CR LF,
// grouped amounts, a closing separator.
TEST(UsuryThresholdFile, ReadsTheDecreesLayout) {
    const auto rows = Rows(
        "\xEF\xBB\xBF\"Categoria\";\"Importo da\";\"Importo a\";\"Dal\";\"Al\";\"TEGM\"\r\n"
        "\"Leasing strumentale\"; ; 25.000,00 ;1/1/2026;31/3/2026; 3,33 ;\r\n"
        "\r\n"
        "leasing STRUMENTALE;25.000;;01/01/2026;;17\r\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].category, "Leasing strumentale");
    EXPECT_EQ(rows[0].amountFrom, std::nullopt);
    EXPECT_EQ(rows[0].amountTo, Money::FromCents(2500000));
    EXPECT_EQ(rows[0].validFrom, Day(2026, 1, 1));
    EXPECT_EQ(rows[0].validTo, Day(2026, 3, 31));
    EXPECT_EQ(rows[0].tegm, Percent::FromTenThousandths(33300));
    EXPECT_EQ(rows[1].category, "leasing STRUMENTALE");
    EXPECT_EQ(rows[1].amountFrom, Money::FromCents(2500000));
    EXPECT_EQ(rows[1].amountTo, std::nullopt);
    EXPECT_TRUE(rows[1].validTo.IsZero());
    EXPECT_EQ(rows[1].tegm, Percent::FromTenThousandths(170000));
}

struct TwinCase {
    const char* name;
    const char* text;
    const char* message;  // empty: the file is read
};

class UsuryThresholdTwins : public ::testing::TestWithParam<TwinCase> {};

// Two lines for one category (letter case aside), class of amounts and start date leave it
// unclear which threshold the decree meant: the file is refused, naming both lines. Another
// class, another quarter or another category is a row of its own.
TEST_P(UsuryThresholdTwins, SamePlaceTwiceRefusesTheFile) {
    const TwinCase& c = GetParam();
    const auto read = ReadUsuryThresholdText(
        std::string("Categoria;Importo da;Importo a;Dal;Al;TEGM\n"
                    "Leasing strumentale;;25.000;01/01/2026;31/03/2026;3,33\n"
                    "Credito personale;;;01/01/2026;31/03/2026;10,58\n") +
        c.text);
    if (*c.message == '\0') {
        EXPECT_TRUE(std::holds_alternative<std::vector<UsuryRate>>(read));
        return;
    }
    ASSERT_TRUE(std::holds_alternative<IndexFileRefusal>(read));
    EXPECT_EQ(std::get<IndexFileRefusal>(read), (IndexFileRefusal{4, c.message}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsuryThresholdTwins,
    ::testing::Values(
        TwinCase{"SameLineAgain", "Leasing strumentale;;25.000;01/01/2026;31/03/2026;3,33\n",
                 "Riga 4: stessa categoria, classe di importo e data Dal della riga 2 "
                 "(\"Leasing strumentale\" dal 01/01/2026). Nessuna soglia importata."},
        TwinCase{"OtherCaseOtherTegmOtherEnd",
                 "\"LEASING Strumentale\"; ;25.000,00;1/1/2026;;3,5\n",
                 "Riga 4: stessa categoria, classe di importo e data Dal della riga 2 "
                 "(\"Leasing strumentale\" dal 01/01/2026). Nessuna soglia importata."},
        TwinCase{"Capitals", "CREDITO PERSONALE;;;01/01/2026;;9\n",
                 "Riga 4: stessa categoria, classe di importo e data Dal della riga 3 "
                 "(\"Credito personale\" dal 01/01/2026). Nessuna soglia importata."},
        TwinCase{"OtherClass", "Leasing strumentale;25.000;;01/01/2026;31/03/2026;3\n", ""},
        TwinCase{"OtherQuarter", "Leasing strumentale;;25.000;01/04/2026;30/06/2026;3,4\n", ""},
        TwinCase{"OtherCategory", "Leasing immobiliare;;25.000;01/01/2026;31/03/2026;3\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UsuryThresholdFile, RefusesWhatItCannotReadExactly) {
    struct Case {
        const char* line;
        const char* reason;
    };
    for (const Case c : {
             Case{"Mutui;;1.234,567;01/01/2026;;4,20",
                  "importo non valido \"1.234,567\" (serve un importo in euro come 25.000,00, o "
                  "nulla per nessun limite)"},
             Case{"Mutui;;;01/01/26;;4,20", "data Dal non valida \"01/01/26\" (serve gg/mm/aaaa)"},
             Case{"Mutui;;;01/01/2026;fine;4,20",
                  "data Al non valida \"fine\" (serve gg/mm/aaaa, o nulla per una soglia ancora "
                  "in vigore)"},
             Case{"Mutui;;;01/01/2026;;4,12345",
                  "TEGM non valido \"4,12345\" (serve un tasso in percentuale con la virgola "
                  "decimale, come 10,58)"},
             Case{"Mutui;;;01/01/2026;;-1",
                  "TEGM fuori misura \"-1\" (serve un tasso fra 0 e 100)"},
             Case{"Mutui;;;01/01/2026;;4,20;2.1",
                  "Maggiorazione mora non valida \"2.1\" (serve un tasso in percentuale con la "
                  "virgola decimale, come 10,58)"},
             Case{"Mutui;;;01/01/2026;;4,20;-2",
                  "Maggiorazione mora fuori misura \"-2\" (serve un tasso fra 0 e 100)"},
         }) {
        auto read = ReadUsuryThresholdText(std::string("Mutui;;;01/01/2026;;4\n") + c.line);
        ASSERT_TRUE(std::holds_alternative<IndexFileRefusal>(read)) << c.line;
        EXPECT_EQ(std::get<IndexFileRefusal>(read),
                  (IndexFileRefusal{
                      2, "Riga 2: " + std::string(c.reason) + ". Nessuna soglia importata."}));
    }
}

class UsuryTable : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive); }
    TempArchive archive{GetParam()};
    RecordingMessageBoxes boxes;
};

INSTANTIATE_TEST_SUITE_P(Engines, UsuryTable, testing::kEngines, testing::EngineName);

TEST_P(UsuryTable, RowsComeBackExactAndInOrder) {
    Database db = archive.Open();
    UsuryThresholds table(db, boxes);
    const auto file = Rows(
        "Mutui;;;01/01/2026;31/03/2026;4,2\n"
        "Credito personale;1.234,56;;01/04/2026;;10,9\n"
        "Credito personale;;1.234,56;01/04/2026;;11,3125\n"
        "Credito personale;;;01/01/2026;31/03/2026;10,58;2,1\n");
    const SeriesWrite written = table.Write(file);
    EXPECT_TRUE(written.written);
    EXPECT_EQ(written.added, 4);
    const auto all = table.All();
    ASSERT_EQ(all.size(), 4u);
    // By category, the latest quarter first, then from the lowest class.
    EXPECT_EQ(all[0].rate.tegm, Percent::FromTenThousandths(113125));
    EXPECT_EQ(all[0].rate.amountTo, Money::FromCents(123456));
    EXPECT_EQ(all[1].rate.amountFrom, Money::FromCents(123456));
    EXPECT_TRUE(all[1].rate.validTo.IsZero());
    EXPECT_EQ(all[2].rate.validTo, Day(2026, 3, 31));
    // The decree's default-interest surcharge where the line gives it, none elsewhere.
    EXPECT_EQ(all[2].rate.defaultSurcharge, Percent::FromTenThousandths(21000));
    EXPECT_EQ(all[1].rate.defaultSurcharge, std::nullopt);
    EXPECT_EQ(all[3].rate.category, "Mutui");
    EXPECT_EQ(table.Categories(), (std::vector<std::string>{"Credito personale", "Mutui"}));
    EXPECT_EQ(table.OfCategory("CREDITO PERSONALE").size(), 3u);

    // A row over its place replaces it; a row changed keeps the count; a deleted one goes.
    const SeriesWrite again = table.Write(Rows("mutui;;;01/01/2026;;4,4\n"));
    EXPECT_EQ(again.replaced, 1);
    EXPECT_EQ(table.OfCategory("Mutui").at(0).tegm, Percent::FromTenThousandths(44000));
    UsuryRate changed = all[2].rate;
    changed.tegm = Percent::FromTenThousandths(110000);
    EXPECT_TRUE(table.Replace(all[2].id, changed).written);
    EXPECT_TRUE(table.Delete(all[0].id));
    const auto after = table.OfCategory("Credito personale");
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].tegm, Percent::FromTenThousandths(110000));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_P(UsuryTable, EachFinancingTypeHasItsCategory) {
    Database db = archive.Open();
    UsuryThresholds table(db, boxes);
    EXPECT_EQ(table.CategoryOfType("Leasing"), std::nullopt);
    EXPECT_TRUE(table.SetCategoryOfType("LEASING", "Leasing strumentale"));
    EXPECT_EQ(table.CategoryOfType("leasing"), std::optional<std::string>("Leasing strumentale"));
    EXPECT_EQ(table.CategoryOfType("Mutuo"), std::nullopt);
    EXPECT_EQ(table.CategoryOfType("Noleggio"), std::nullopt);
    EXPECT_TRUE(table.SetCategoryOfType("Leasing", ""));
    EXPECT_EQ(table.CategoryOfType("Leasing"), std::nullopt);
}

TEST_P(UsuryTable, ABadFileWritesNothing) {
    Database db = archive.Open();
    UsuryThresholds table(db, boxes);
    const auto file = archive.Folder() / "soglie.csv";
    std::ofstream(file) << "Mutui;;;01/01/2026;;4,20\nMutui;;;01/04/2026;;4,2O\n";
    const SeriesImport refused = ImportUsuryThresholds(table, file);
    EXPECT_EQ(refused.status, SeriesImport::Status::Refused);
    EXPECT_EQ(refused.message,
              "Riga 2: TEGM non valido \"4,2O\" (serve un tasso in percentuale con la virgola "
              "decimale, come 10,58). Nessuna soglia importata.");
    EXPECT_TRUE(table.All().empty());
    std::ofstream(file) << "Mutui;;;01/01/2026;;4,20\n";
    const SeriesImport imported = ImportUsuryThresholds(table, file);
    EXPECT_EQ(imported.status, SeriesImport::Status::Imported);
    EXPECT_EQ(imported.message, "Importata 1 soglia d'usura: 1 nuova, 0 sostituite.");
}

// One name rule for categories, types and reference rates on both engines: before it, SQLite
// folded letter case only and the server accents too, so the same category found other rows.
TEST_P(UsuryTable, ACategoryIsFoundUnderEverySpellingOfItsName) {
    Database db = archive.Open();
    UsuryThresholds table(db, boxes);
    ASSERT_TRUE(table.Write(Rows("Crédito persònale;;5.000;01/01/2026;;10,58\n"
                                 "Crédito persònale;5.000;;01/01/2026;;9,12\n"
                                 "Mutui;;;01/01/2026;;4,2\n"))
                    .written);
    for (const char* asked : {"Crédito persònale", "CREDITO PERSONALE", "credito\tpersonale",
                              "  Credito  personale ", "CRÉDITO PERSÒNALE"}) {
        EXPECT_EQ(table.OfCategory(asked).size(), 2u) << asked;
    }
    EXPECT_EQ(table.Categories(), (std::vector<std::string>{"Crédito persònale", "Mutui"}));
    // The decree's file spelling the category otherwise replaces the same rows.
    const SeriesWrite again = table.Write(Rows("CREDITO PERSONALE;;5.000;01/01/2026;;10,6\n"));
    EXPECT_EQ(again.replaced, 1);
    EXPECT_EQ(again.added, 0);

    EXPECT_TRUE(table.SetCategoryOfType("CRÈDITO AL CONSUMO", "credito personale"));
    EXPECT_EQ(table.CategoryOfType("Credito al  consumo"),
              std::optional<std::string>("credito personale"));
    EXPECT_EQ(GetIdByDescription(db, "supTxRiferimento", "EURÍBOR 3 MESI"), 3);
    EXPECT_EQ(GetIdByDescription(db, "supTxRiferimento", "Euribor 3"), 0);
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace quotaplan
