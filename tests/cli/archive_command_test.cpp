#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "calc_archive_fixture.h"
#include "cli/quotaplan_calc.h"
#include "common/clock.h"
#include "common/program_info.h"
#include "data/database.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;
using test::CalcArchive;
using test::CalcSqliteArchive;
using ::testing::HasSubstr;
using ::testing::Not;

// The cases about a server.
class CalcServerArchive : public CalcArchive {};

INSTANTIATE_TEST_SUITE_P(Engines, CalcArchive, testing::kEngines, testing::EngineName);
INSTANTIATE_TEST_SUITE_P(SQLite, CalcSqliteArchive, ::testing::Values(EngineKind::Sqlite),
                         testing::EngineName);
INSTANTIATE_TEST_SUITE_P(PostgreSQL, CalcServerArchive, ::testing::Values(EngineKind::Postgresql),
                         testing::EngineName);

TEST_P(CalcArchive, SaveListShowDelete) {
    ASSERT_EQ(Save("Fresatrice CNC", {"--type", "mutuo", "--ref-rate", "EURIBOR 3 MESI"}), 0)
        << err_;
    EXPECT_EQ(out_, "1\n");
    ASSERT_EQ(Save("Tornio"), 0) << err_;
    EXPECT_EQ(out_, "2\n");

    EXPECT_EQ(Ok({"--list"}),
              "[\n  {\"type\": \"Leasing\", \"id\": 2, \"description\": \"Tornio\"},\n"
              "  {\"type\": \"Mutuo\", \"id\": 1, \"description\": \"Fresatrice CNC\"}\n]\n");

    Ok({"--show", "1"});
    // The maxi row, 12 instalments and the buy-out.
    for (const char* part : {"\"ref_rate\": \"Euribor 3 mesi\"", "\"contract_date\": \"15/01/26\"",
                             "\"type\": \"Maxi.\", \"date\": \"2026-01-15\""}) {
        EXPECT_THAT(out_, HasSubstr(part));
    }
    std::size_t rows = 0;
    for (auto at = out_.find("{\"id\": "); at != std::string::npos;
         at = out_.find("{\"id\": ", at + 1)) {
        ++rows;
    }
    EXPECT_EQ(rows, 14u);

    Ok({"--delete", "1"});
    EXPECT_THAT(Ok({"--list"}), Not(HasSubstr("Fresatrice")));
    EXPECT_EQ(Run({"--delete", "1"}), 2);
    EXPECT_EQ(Run({"--show", "1"}), 2);
}

// Eight programs delete the same contract at the same moment: one of them deletes it, and the
// seven others say it is not there, as a delete after it would.
TEST_P(CalcArchive, OfDesksDeletingTheSameContractAtOnceOnlyOneSucceeds) {
    ASSERT_EQ(Save("Conteso"), 0) << err_;
    constexpr int kDesks = 8;
    std::map<std::pair<int, std::string>, int> outcomes;
    for (const auto& desk : testing::RunDesksTogether(kDesks, [&](int) {
             std::ostringstream out, err;
             const int status = RunQuotaplanCalc({"--db", archive_.Address(), "--delete", "1"}, out,
                                                 err, archive_.Folder());
             return std::pair{status, err.str()};
         })) {
        ++outcomes[{desk.status, desk.report}];
    }
    const std::map<std::pair<int, std::string>, int> expected = {
        {{0, ""}, 1}, {{2, "Il contratto 1 non è nell'archivio.\n"}, kDesks - 1}};
    EXPECT_EQ(outcomes, expected);
    auto db = Open();
    EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(*) FROM tabPDA"), 0);
}

// The contract's amounts are stored as given, to the cent, not as their 32-bit terms.
TEST_P(CalcArchive, SaveStoresTheGivenAmounts) {
    ASSERT_EQ(Save("Centesimi", {"--value", "209824.65", "--maxi", "150000.03", "--buyout",
                                 "16777217", "--contract-fees", "200000.01", "--instalment-fee",
                                 "1234567.89", "--rate", "5.126", "--spread", "0.5"}),
              0)
        << err_;
    auto db = Open();
    Recordset row(db,
                  "SELECT Valore, Maxicanone, Riscatto, SpeseContratto, SpeseAddebito, Tasso, "
                  "Spread FROM tabContratti");
    EXPECT_EQ(row.Value("Valore").ToDouble(), 209824.65);
    EXPECT_EQ(row.Value("Maxicanone").ToDouble(), 150000.03);
    EXPECT_EQ(row.Value("Riscatto").ToDouble(), 16777217);
    EXPECT_EQ(row.Value("SpeseContratto").ToDouble(), 200000.01);
    EXPECT_EQ(row.Value("SpeseAddebito").ToDouble(), 1234567.89);
    EXPECT_EQ(row.Value("Tasso").ToDouble(), 5.13);
    EXPECT_EQ(row.Value("Spread").ToDouble(), 0.5);
}

TEST_P(CalcArchive, RefusalsLeaveTheArchiveAsItWas) {
    ASSERT_EQ(Save("Fresatrice CNC"), 0) << err_;
    EXPECT_EQ(Save("FRESATRICE CNC"), 2);
    EXPECT_THAT(err_, HasSubstr("Nome leasing già esistente"));
    ASSERT_EQ(Save("Furgone L Aquila  test "), 0) << err_;
    EXPECT_EQ(Save("  furgone l aquila  test"), 2);
    EXPECT_EQ(err_, "Quotaplan 4: Nome leasing già esistente\n");
    EXPECT_EQ(Save("Altro", {"--type", "Noleggio"}), 2);
    EXPECT_THAT(err_, HasSubstr("--type"));
    EXPECT_EQ(Save("Altro", {"--solve", "rate", "--instalment", "900"}), 2);
    EXPECT_EQ(Save("Altro", {"--rate", "0"}), 2);
    EXPECT_THAT(err_, HasSubstr("Inserire il Tasso!"));
    EXPECT_EQ(Save(" "), 2);
    EXPECT_THAT(err_, HasSubstr("Inserire la descrizione del bene!"));
    EXPECT_EQ(Run({"--list", "--delete", "1"}), 2);
    EXPECT_EQ(Run({"--show", "uno"}), 2);
    EXPECT_EQ(
        Ok({"--list"}),
        "[\n  {\"type\": \"Leasing\", \"id\": 1, \"description\": \"Fresatrice CNC\"},\n"
        "  {\"type\": \"Leasing\", \"id\": 2, \"description\": \"Furgone L Aquila  test \"}\n]\n");
}

TEST_P(CalcArchive, HostileDescriptionsComeBackUnchanged) {
    const std::string hostile = "x'); DROP TABLE tabPDA; -- \"#1\" è";
    ASSERT_EQ(Save(hostile), 0) << err_;
    EXPECT_THAT(Ok({"--list"}), HasSubstr("\"x'); DROP TABLE tabPDA; -- \\\"#1\\\" è\""));
    EXPECT_EQ(Save(hostile), 2);
}

TEST_P(CalcArchive, StoredContractsShownToTheCentOrRefusedInWords) {
    std::string name;
    for (int k = 0; k < 60; ++k) name += "è";
    ASSERT_EQ(Save(name, {"--value", "2000000", "--maxi", "0", "--buyout", "0", "--rate", "6",
                          "--contract-date", "1970-01-15", "--buyout-date", "2091-01-01"}),
              0)
        << err_;
    {
        // A contract whose financing type is gone is not in the tree, yet still reachable.
        auto db = Open();
        ASSERT_TRUE(db.Execute("UPDATE tabContratti SET [ID Tipologia] = 99"));
    }
    Ok({"--show", "1"});
    EXPECT_THAT(out_, HasSubstr("\"description\": \"" + name.substr(0, 100) + "\","));
    // Dates beyond the two-digit-year window keep their century.
    for (const char* part :
         {"\"contract_date\": \"15/01/70\"", "\"Maxi.\", \"date\": \"1970-01-15\"",
          "\"Riscatto\", \"date\": \"2091-01-01\"",
          "\"capital\": 162251.69, \"interest\": 9735.09, \"residual\": "
          "1837748.25}"}) {
        EXPECT_THAT(out_, HasSubstr(part));
    }
    {
        auto db = Open();
        Recordset row(db, "SELECT DataContratto, DataRiscatto FROM tabContratti");
        EXPECT_EQ(row.Value(0), DbValue::Text("1970-01-15"));
        EXPECT_EQ(row.Value(1), DbValue::Text("2091-01-01"));
    }
    // Only an SQLite column can hold a text where a number belongs.
    if (GetParam() == EngineKind::Sqlite) {
        {
            // A field that cannot be read is shown empty and reported; the command fails.
            auto db = Open();
            ASSERT_TRUE(db.Execute("UPDATE tabContratti SET Valore = 'x'"));
        }
        EXPECT_EQ(Run({"--show", "1"}), 1);
        EXPECT_THAT(out_, HasSubstr("\"value\": \"\",\n  \"maxi\": \"0,00\","));
        EXPECT_THAT(out_, HasSubstr("\"residual\": 1837748.25}"));
        EXPECT_EQ(err_, "Quotaplan 4: Si è verificato l'errore N° 13 Tipo non corrispondente\n");
        {
            auto db = Open();
            ASSERT_TRUE(db.Execute("UPDATE tabContratti SET Valore = 2000000"));
            ASSERT_TRUE(db.Execute("UPDATE tabPDA SET Importo = 'x' WHERE ID = 2"));
        }
        EXPECT_EQ(Run({"--show", "1"}), 1);
        EXPECT_TRUE(out_.empty()) << out_;
        EXPECT_THAT(err_, HasSubstr("13 Tipo non corrispondente"));
    }
    EXPECT_EQ(Run({"--delete", "1"}), 0) << err_;
    EXPECT_EQ(Run({"--show", "1"}), 2);
}

// The Stato page's figures on 20/03/2026: Fresatrice's plan runs from 15/02 (23.119,57 left
// after 15/03), Tornio's from 28/02 (25.052,98 left; its second instalment falls on 31/03);
// the buy-out of Chiuso closed it in February. (7,5 * 23119,57 + 6 * 25052,98) / 48172,55 is
// 6,7199.
TEST_P(CalcArchive, SummaryOfThePortfolioOnAGivenDay) {
    ASSERT_EQ(Save("Fresatrice CNC"), 0) << err_;
    ASSERT_EQ(Save("Tornio", {"--rate", "5", "--spread", "1", "--first-date", "2026-02-28"}), 0)
        << err_;
    ASSERT_EQ(Save("Chiuso", {"--count", "1", "--rate", "9"}), 0) << err_;
    EXPECT_EQ(Ok({"--summary", "--today", "2026-03-20"}),
              "{\"weighted_rate\": 6.72, \"residual_debt\": 48172.55, \"due_this_month\": [\n"
              "  {\"id\": 1, \"description\": \"Fresatrice CNC\", \"date\": \"2026-03-15\", "
              "\"amount\": 2097.59},\n"
              "  {\"id\": 2, \"description\": \"Tornio\", \"date\": \"2026-03-31\", "
              "\"amount\": 2078.44}\n"
              "]}\n");
    EXPECT_EQ(err_, "");

    // Without --today, the system's day: no contract has started before 2026.
    ScopedToday early(*CalendarDate::FromYmd(2025, 12, 1));
    EXPECT_EQ(Ok({"--summary"}),
              "{\"weighted_rate\": 0, \"residual_debt\": 0, \"due_this_month\": []}\n");

    Refused({"--summary", "--today", "20/03/2026"},
            "Valore non valido per --today: \"20/03/2026\" (serve una data AAAA-MM-GG)");
    Refused({"--list", "--today", "2026-03-20"}, "--today si usa solo con --summary.");
    EXPECT_EQ(Run({"--summary", "--list"}), 2);
    EXPECT_EQ(out_, "");
}

// An archive made before the month's view named its contracts: --summary only reads, so it
// shows the views as they are; a command that opens it for writing gives it this version's
// views, and --summary then gives their IDs.
TEST_P(CalcArchive, SummaryOfAnArchiveWithOlderViews) {
    ASSERT_EQ(Save("Fresatrice CNC"), 0) << err_;
    {
        Database db = Open();
        ASSERT_TRUE(db.ExecuteScript(quotaplan::testing::OlderViewsSql(GetParam(), 0)));
    }
    EXPECT_THAT(Ok({"--summary", "--today", "2026-03-20"}),
                HasSubstr("{\"id\": null, \"description\": \"Fresatrice CNC\", \"date\": "
                          "\"2026-03-15\""));
    ASSERT_EQ(Save("Tornio"), 0) << err_;
    EXPECT_THAT(Ok({"--summary", "--today", "2026-03-20"}),
                HasSubstr("{\"id\": 1, \"description\": \"Fresatrice CNC\", \"date\": "
                          "\"2026-03-15\""));
}

// TIMEOUT=1 in Quotaplan.ini, and the plan table held by another desk: each command that
// reads or writes plans gives up after a second, says so in Italian and writes nothing.
TEST_P(CalcServerArchive, CommandTheServerDoesNotAnswerInTimeGivesUp) {
    ASSERT_EQ(Save("Fresatrice CNC"), 0) << err_;
    std::ofstream(archive_.Folder() / "Quotaplan.ini") << "[DATABASE]\r\nTIMEOUT=1\r\n";
    Database other = Open();
    ASSERT_TRUE(other.Execute("BEGIN"));
    ASSERT_TRUE(other.Execute("LOCK TABLE tabPDA IN ACCESS EXCLUSIVE MODE"));
    const std::string timedOut =
        "-2147217871 - Il server non ha risposto entro 1 secondo: operazione annullata.\n";
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--save", "Tornio", "--value", "30000", "--count", "12", "--rate", "7.5"},
         DefaultBoxTitle() + ": " + timedOut + "\n"},
        {{"--summary"}, timedOut},
        {{"--show", "1"}, timedOut},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.args.front());
        EXPECT_EQ(Run(entry.args), 1);
        EXPECT_EQ(err_, entry.err);
        EXPECT_EQ(out_, "");
    }
    ASSERT_TRUE(other.Execute("ROLLBACK"));
    EXPECT_EQ(quotaplan::testing::CountOf(other, "SELECT COUNT(ID) FROM tabContratti"), 1);
    EXPECT_EQ(quotaplan::testing::CountOf(other, "SELECT COUNT(ID) FROM tabPDA"), 14);
}

TEST_P(CalcSqliteArchive, MissingArchiveIsADatabaseError) {
    fs::remove(archive_.File());
    for (const char* command : {"--list", "--summary"}) {
        EXPECT_EQ(Run({command}), 1);
        EXPECT_THAT(err_, HasSubstr("ADO_connConnectDB"));
    }
    EXPECT_FALSE(fs::exists(archive_.File()));
}

}  // namespace
}  // namespace quotaplan
