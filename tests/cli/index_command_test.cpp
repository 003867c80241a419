#include <gtest/gtest.h>

#include <fstream>

#include "calc_archive_fixture.h"
#include "common/clock.h"
#include "common/recording_message_boxes.h"
#include "data/contract_store.h"
#include "data/database.h"
#include "data/reference_rate_values.h"
#include "data/sql_helpers.h"

namespace quotaplan {
namespace {

// The published example: 2,00 from January, 2,50 from April, 1,75 from July 2026.
constexpr const char* kSeries2026 =
    "Data;Valore\r\n01/01/2026;2,00\r\n01/04/2026;2,50\r\n01/07/2026;1,75\r\n";

const std::vector<std::string> kContract = {
    "--value", "10000",           "--count",    "12",           "--spread",
    "1.5",     "--contract-date", "2026-01-15", "--first-date", "2026-02-15"};

using test::Plus;

class IndexCommand : public test::CalcArchive {
protected:
    std::string WriteFile(const std::string& text) {
        const auto file = (archive_.Folder() / "serie.csv").string();
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    std::vector<IndexValue> Series(const std::string& rate) {
        Database db = Open();
        RecordingMessageBoxes boxes;
        return ReferenceRateValues(db, boxes).Series(
            GetIdByDescription(db, "supTxRiferimento", rate));
    }
    void ImportExample() {
        ASSERT_EQ(Run({"--import-index", WriteFile(kSeries2026), "--ref-rate", "euribor 3 MESI"}),
                  0)
            << err_;
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, IndexCommand, testing::kEngines, testing::EngineName);

TEST_P(IndexCommand, ImportThenReimport) {
    ImportExample();
    EXPECT_EQ(out_,
              "{\"ref_rate\": \"Euribor 3 mesi\", \"values\": 3, \"added\": 3, "
              "\"replaced\": 0}\n");
    EXPECT_TRUE(err_.empty());
    ASSERT_EQ(Run({"--import-index", WriteFile("01/07/2026;1,80\n01/10/2026;-0,125\n"),
                   "--ref-rate", "Euribor 3 mesi"}),
              0);
    EXPECT_EQ(out_,
              "{\"ref_rate\": \"Euribor 3 mesi\", \"values\": 2, \"added\": 1, "
              "\"replaced\": 1}\n");
    const auto series = Series("Euribor 3 mesi");
    ASSERT_EQ(series.size(), 7u);  // three seeded values, four of 2026
    EXPECT_EQ(series[5].percent, 1.8);
    EXPECT_EQ(series[6].percent, -0.125);
}

TEST_P(IndexCommand, BadFileImportsNothing) {
    const auto before = Series("Euribor 3 mesi");
    Refused({"--import-index",
             WriteFile("Data;Valore\n01/01/2026;2,00\n01/04/2026;2,50\n1/7/26;1,75\n"),
             "--ref-rate", "Euribor 3 mesi"},
            "Riga 4: data non valida \"1/7/26\" (serve gg/mm/aaaa). Nessun valore importato.");
    EXPECT_EQ(Series("Euribor 3 mesi"), before);
}

// The published oracle: the indexed plan is the plan of the rate list given by hand.
TEST_P(IndexCommand, IndexedEqualsTheRateListGivenByHand) {
    ImportExample();
    const std::string indexed = Ok(Plus(kContract, {"--indexed", "--ref-rate", "Euribor 3 mesi"}));
    EXPECT_EQ(indexed, Ok(Plus(kContract, {"--rate", "2", "--rates",
                                           "3.5,3.5,3.5,4,4,4,3.25,3.25,3.25,3.25,3.25,3.25"})));
    for (const char* row : {"\"number\": 3, \"date\": \"2026-04-15\", \"rate\": 3.5,",
                            "\"number\": 4, \"date\": \"2026-05-15\", \"rate\": 4,",
                            "\"number\": 6, \"date\": \"2026-07-15\", \"rate\": 4,",
                            "\"number\": 7, \"date\": \"2026-08-15\", \"rate\": 3.25,"}) {
        EXPECT_NE(indexed.find(row), std::string::npos) << row << "\n" << indexed;
    }
}

// Without --first-date the plan's first instalment falls a month after the contract, and the
// index follows those due dates, not today's.
TEST_P(IndexCommand, MissingFirstDateIndexesThePlansOwnDates) {
    ImportExample();
    ScopedToday later(*CalendarDate::FromYmd(2031, 6, 1));
    std::vector<std::string> contract(kContract.begin(), kContract.end() - 2);
    EXPECT_EQ(Ok(Plus(contract, {"--indexed", "--ref-rate", "Euribor 3 mesi"})),
              Ok(Plus(kContract, {"--indexed", "--ref-rate", "Euribor 3 mesi"})));
}

TEST_P(IndexCommand, SavedIndexedContractKeepsItsRates) {
    ImportExample();
    ASSERT_EQ(Run(Plus(kContract, {"--indexed", "--ref-rate", "Euribor 3 mesi", "--save",
                                   "Mutuo indicizzato"})),
              0)
        << err_;
    Database db = Open();
    RecordingMessageBoxes boxes;
    std::vector<double> stored;
    for (const StoredRate& rate : ContractStore(db, boxes).LoadRateRows(1)) {
        stored.push_back(rate.Tx);
    }
    EXPECT_EQ(stored.size(), 12u);
    EXPECT_EQ(stored[0], 3.5);
    EXPECT_EQ(stored[3], 4.0);
    EXPECT_EQ(stored[11], 3.25);
    Ok({"--show", "1"});
    EXPECT_NE(out_.find("\"ref_rate\": \"Euribor 3 mesi\""), std::string::npos) << out_;
    EXPECT_NE(out_.find("\"rate\": \"2,00\",\n  \"spread\": \"1,50\""), std::string::npos) << out_;
}

// An index worth 0,00 on the contract date leaves the contract its spread: the plan of
// --rate 1.5 without spread. With no spread, or with --rate 0 given by hand, the rate is 0.
TEST_P(IndexCommand, ZeroIndexWithASpread) {
    ASSERT_EQ(Run({"--import-index", WriteFile("Data;Valore\n01/01/2026;0,00\n"), "--ref-rate",
                   "Euribor 3 mesi"}),
              0)
        << err_;
    const std::vector<std::string> contract = {"--value",      "10000",           "--count",
                                               "12",           "--contract-date", "2026-01-15",
                                               "--first-date", "2026-02-15"};
    const std::string typed = Ok(Plus(contract, {"--rate", "1.5"}));
    EXPECT_NE(typed.find("\"instalment\": 840.07,"), std::string::npos) << typed;
    const std::vector<std::string> indexed =
        Plus(contract, {"--indexed", "--ref-rate", "Euribor 3 mesi"});
    EXPECT_EQ(Ok(Plus(indexed, {"--spread", "1.5"})), typed);
    Refused(indexed, "Inserire il Tasso!");  // no spread
    Refused(Plus(contract, {"--rate", "0", "--spread", "1.5"}), "Inserire il Tasso!");
}

TEST_P(IndexCommand, Refusals) {
    ImportExample();
    {
        Database db = Open();
        ASSERT_TRUE(
            db.Execute("INSERT INTO supTxRiferimento (Descrizione) VALUES ('Euribor 12 mesi')"));
    }
    const std::vector<std::string> indexed = Plus(kContract, {"--indexed"});
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {Plus(indexed, {"--ref-rate", "fisso"}),
         "Il tasso di riferimento \"Fisso\" è fisso: non si può indicizzare."},
        {Plus(indexed, {"--ref-rate", "Euribor 12 mesi"}),
         "Il tasso di riferimento \"Euribor 12 mesi\" non ha valori."},
        {Plus(indexed, {"--ref-rate", "Euribor 3 mesi", "--contract-date", "2022-12-31"}),
         "Il tasso di riferimento \"Euribor 3 mesi\" non ha valori in vigore al 31/12/2022: il "
         "primo è del 02/01/2023."},
        {indexed, "--indexed richiede --ref-rate con il nome del tasso di riferimento."},
        {Plus(indexed, {"--ref-rate", "Euribor 9 mesi"}),
         "Valore non presente nell'archivio per --ref-rate: \"Euribor 9 mesi\""},
        {Plus(indexed, {"--ref-rate", "Euribor 3 mesi", "--rate", "2"}),
         "Con --indexed i tassi vengono dai valori del tasso di riferimento: togliere --rate e "
         "--rates."},
        {Plus(indexed, {"--ref-rate", "Euribor 3 mesi", "--rates", "3.5,4"}),
         "Con --indexed i tassi vengono dai valori del tasso di riferimento: togliere --rate e "
         "--rates."},
        {Plus(indexed, {"--ref-rate", "Euribor 3 mesi", "--solve", "value", "--instalment", "900"}),
         "--indexed vale per il calcolo della rata (--solve instalment)."},
        {{"--indexed", "--ref-rate", "Euribor 3 mesi", "--value", "10000"},
         "Inserire il Numero di rate!"},
        {{"--indexed", "--ref-rate", "Euribor 3 mesi", "--value", "10000", "--count", "12",
          "--periodicity", "5"},
         "Inserire una periodicità!"},
        {{"--import-index", "x.csv"},
         "--import-index richiede --ref-rate con il nome del tasso di riferimento."},
        {{"--import-index", "x.csv", "--list", "--ref-rate", "Euribor 3 mesi"},
         "Indicare uno solo fra --save, --list, --show, --delete, --import-index, "
         "--import-thresholds e --summary."},
    };
    for (const Case& c : cases) Refused(c.args, c.message);
}

}  // namespace
}  // namespace quotaplan
