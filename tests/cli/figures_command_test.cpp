#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "calc_archive_fixture.h"
#include "cli/quotaplan_calc.h"
#include "data/database.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;
using test::CalcArchive;

struct CalcRun {
    int status;
    std::string out;
    std::string err;
};

CalcRun Calc(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunQuotaplanCalc(args, out, err, fs::temp_directory_path());
    return {status, out.str(), err.str()};
}

const std::vector<std::string> kDated = {"--contract-date", "2026-01-15", "--first-date",
                                         "2026-02-15"};

std::vector<std::string> Dated(std::vector<std::string> args) {
    args.insert(args.end(), kDated.begin(), kDated.end());
    return args;
}

// A contract of the plan to the cent, dated as kDated, and pieces of its JSON.
struct CentsCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> pieces;
};

class PlanToTheCentJson : public ::testing::TestWithParam<CentsCase> {};

TEST_P(PlanToTheCentJson, PrintsExactDecimals) {
    std::vector<std::string> args = GetParam().args;
    args.insert(args.end(), {"--plan", "cents"});
    const CalcRun run = Calc(Dated(args));
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string& piece : GetParam().pieces) {
        EXPECT_NE(run.out.find(piece), std::string::npos) << piece << "\n" << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanToTheCentJson,
    ::testing::Values(
        CentsCase{"mortgage",
                  {"--value", "200000", "--rate", "4", "--count", "360", "--simple"},
                  {"{\"instalment\": 954.83, ",
                   "{\"type\": \"Rata\", \"number\": 1, \"date\": \"2026-02-15\", \"rate\": 4, "
                   "\"amount\": 954.83, \"capital\": 288.16, \"interest\": 666.67, \"residual\": "
                   "199711.84}",
                   "{\"type\": \"Rata\", \"number\": 360, \"date\": \"2056-01-15\", \"rate\": 4, "
                   "\"amount\": 955.46, \"capital\": 952.29, \"interest\": 3.17, \"residual\": "
                   "0}"}},
        CentsCase{"amounts_beyond_32_bit_floats",
                  {"--value", "209824.65", "--maxi", "0.03", "--buyout", "167772.17", "--rate",
                   "0.01", "--count", "2", "--simple"},
                  {"\"amount\": 0.03, \"capital\": 0.03, \"interest\": 0, \"residual\": "
                   "209824.62}",
                   "\"number\": 2, \"date\": \"2026-03-15\", \"rate\": 0.01, \"amount\": "
                   "21027.88, \"capital\": 21026.31, \"interest\": 1.57, \"residual\": "
                   "167772.17}"}},
        // 21 % compounded twice a year is 10 % a half year: 1.000,005 of interest.
        CentsCase{"exact_half_cent_goes_up",
                  {"--value", "10000.05", "--rate", "21", "--periodicity", "2", "--count", "4"},
                  {"\"number\": 1, \"date\": \"2026-02-15\", \"rate\": 21, \"amount\": 3154.72, "
                   "\"capital\": 2154.71, \"interest\": 1000.01, \"residual\": 7845.34}"}},
        // In advance the buy-out falls a month after the last instalment, as 1.438,48 is
        // priced; the last instalment leaves it owed less that month's interest.
        CentsCase{"advance_buyout_a_period_after_the_last_instalment",
                  {"--value", "100000", "--maxi", "10000", "--buyout", "20000", "--rate", "6",
                   "--count", "60", "--advance"},
                  {"{\"instalment\": 1438.48, ",
                   "{\"type\": \"Rata\", \"number\": 60, \"date\": \"2030-12-15\", \"rate\": 6, "
                   "\"amount\": 1438.35, \"capital\": 1334.97, \"interest\": 103.38, "
                   "\"residual\": 19903.12}",
                   "{\"type\": \"Riscatto\", \"date\": \"2031-01-15\", \"rate\": 0, \"amount\": "
                   "20000, \"capital\": 19903.12, \"interest\": 96.88, \"residual\": 0}"}}),
    [](const auto& info) { return std::string(info.param.name); });

// In advance to the cent the buy-out date may not come before a period after the last
// instalment (15/12/2030); the classic plan keeps it on the last instalment's date.
TEST(PlanToTheCent, AdvanceBuyoutDateFromAPeriodAfterTheLastInstalment) {
    const auto run = [](const char* plan, const char* buyoutDate) {
        return Calc(Dated({"--value", "100000", "--buyout", "20000", "--rate", "6", "--count", "60",
                           "--advance", "--plan", plan, "--buyout-date", buyoutDate}));
    };
    const CalcRun refused = run("cents", "2031-01-14");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "Inserire una data valida!\n");
    EXPECT_EQ(run("cents", "2031-01-15").status, 0);
    EXPECT_EQ(run("classic", "2031-01-14").status, 0);
}

TEST(PlanToTheCent, ClassicStaysTheDefaultAndUnknownPlansAreRefused) {
    const CalcRun classic = Calc(Dated({"--value", "10000", "--rate", "6", "--count", "12"}));
    const CalcRun named =
        Calc(Dated({"--value", "10000", "--rate", "6", "--count", "12", "--plan", "classic"}));
    EXPECT_EQ(classic.out, named.out);
    EXPECT_NE(classic.out.find("\"number\": 12, \"date\": \"2027-01-15\", \"rate\": 6, "
                               "\"amount\": 859.93, \"capital\": 855.77, \"interest\": 4.16, "
                               "\"residual\": -0.01}"),
              std::string::npos)
        << classic.out;
    const CalcRun bad = Calc({"--value", "10000", "--rate", "6", "--count", "12", "--plan", "x"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "Valore non valido per --plan: \"x\" (classic o cents)\n");
}

TEST(Taeg, OfTheContractInTheJson) {
    const CalcRun fees =
        Calc(Dated({"--value", "10000", "--rate", "6", "--count", "12", "--simple", "--plan",
                    "cents", "--contract-fees", "150", "--instalment-fee", "2"}));
    ASSERT_EQ(fees.status, 0) << fees.err;
    EXPECT_EQ(fees.out.find("{\"instalment\": 860.66, \"effective_rate\": 0.0928, \"taeg\": "
                            "9.68, \"plan\": ["),
              0u)
        << fees.out.substr(0, 100);
    const CalcRun bare = Calc(
        Dated({"--value", "10000", "--rate", "6", "--count", "12", "--simple", "--plan", "cents"}));
    EXPECT_NE(bare.out.find("\"taeg\": 6.17,"), std::string::npos);
    // The rate and the asset value are judged on their instalment's flows too.
    const CalcRun rate = Calc(Dated({"--solve", "rate", "--value", "10000", "--instalment",
                                     "860.66", "--count", "12", "--simple"}));
    EXPECT_EQ(rate.out,
              "{\"rate\": 6, \"effective_rate\": 0.06, \"taeg\": 6.17, \"capitalisation\": "
              "\"simple\", \"timing\": \"arrears\"}\n");
    // Months counted back from each due date to the signing day.
    const CalcRun monthEnd = Calc({"--value", "5000", "--rate", "9.9", "--count", "6", "--plan",
                                   "cents", "--contract-fees", "50", "--contract-date",
                                   "2026-01-30", "--first-date", "2026-03-01"});
    EXPECT_EQ(monthEnd.out.find("{\"instalment\": 856.52, \"effective_rate\": 0.1378, "
                                "\"taeg\": 13.51, \"plan\": ["),
              0u)
        << monthEnd.out.substr(0, 100);
}

TEST(Taeg, NullWithItsReasonWhenTheFlowsFixNoSingleRate) {
    // One instalment in advance, paid on the signing day: every rate balances the flows.
    const CalcRun run = Calc(
        Dated({"--value", "1000", "--rate", "5", "--count", "1", "--advance", "--plan", "cents"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out.find("{\"instalment\": 1000, \"effective_rate\": 6.3881, \"taeg\": null, "
                     "\"taeg_note\": \"TAEG non determinabile: erogazioni e pagamenti si "
                     "annullano giorno per giorno (per esempio una sola rata anticipata senza "
                     "spese), e ogni tasso li pareggia.\", \"plan\": ["),
        0u)
        << run.out;
}

class TaegFlows : public ::testing::Test {
protected:
    void TearDown() override { fs::remove(file_); }
    CalcRun RunOn(const std::string& content) {
        std::ofstream(file_, std::ios::binary) << content;
        return Calc({"--taeg-flows", file_.string()});
    }
    fs::path file_ =
        fs::temp_directory_path() / ("quotaplan-flows-" + std::to_string(::getpid()) + ".txt");
};

TEST_F(TaegFlows, OneThousandRepaidInTwoYears) {
    const CalcRun run = RunOn(
        "\xEF\xBB\xBF"
        "Data;Importo\r\n2026-03-01;1000\r\n"
        "2027-03-01; -600.00 \r\n\r\n2028-03-01;-600,00;\r\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"taeg\": 13.07}\n");
    // A month counted back from 30/03/2019 ends on 28/02, 28 days after 31/01: 1/12 +
    // 28/365 years for 1 %, 6,41 % a year (6,20 counting the month forward).
    const CalcRun monthEnd = RunOn("2019-01-31;1000\n2019-03-30;-1010\n");
    EXPECT_EQ(monthEnd.out, "{\"taeg\": 6.41}\n");
}

TEST_F(TaegFlows, BadLinesAreNamed) {
    struct Case {
        const char* content;
        const char* message;
    };
    for (const Case c :
         {Case{"2026-03-01;1000\n2027-03-01\n",
               "Riga 2: servono due campi, AAAA-MM-GG;importo, "
               "separati da un punto e virgola.\n"},
          Case{"2026-03-01;1000\n01/03/2027;-600\n",
               "Riga 2: data non valida \"01/03/2027\" (serve AAAA-MM-GG).\n"},
          Case{"2026-03-01;1.000,00\n",
               "Riga 1: importo non valido \"1.000,00\" (serve un importo come -860.66, al più "
               "due decimali, senza separatori delle migliaia).\n"},
          Case{"2026-03-01;-600.001\n",
               "Riga 1: importo non valido \"-600.001\" (serve un importo come -860.66, al più "
               "due decimali, senza separatori delle migliaia).\n"},
          Case{"2026-03-01;1000\n2027-03-01;500\n",
               "TAEG non determinabile: sommati giorno per giorno, i flussi sono tutti "
               "erogazioni (importi positivi) o tutti pagamenti (importi negativi), e nessun "
               "tasso li pareggia.\n"},
          Case{"2026-03-01;1000\n2026-03-01;-1000\n",
               "TAEG non determinabile: erogazioni e pagamenti si annullano giorno per giorno "
               "(per esempio una sola rata anticipata senza spese), e ogni tasso li "
               "pareggia.\n"},
          Case{"2026-03-01;1000\n2027-03-01;-0.01\n",
               "TAEG non determinabile: nessun tasso fra -99,99 % e 10.000.000 % pareggia i "
               "flussi.\n"}}) {
        const CalcRun run = RunOn(c.content);
        EXPECT_EQ(run.status, 2) << c.content;
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(run.out, "");
    }
    const CalcRun missing = Calc({"--taeg-flows", "/nonexistent/flows.txt"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Impossibile leggere il file \"/nonexistent/flows.txt\".\n");
}

TEST_P(CalcArchive, SavedPlanToTheCentIsStoredAndShownExactly) {
    ASSERT_EQ(Save("Centesimo", {"--plan", "cents", "--value", "209824.65", "--maxi", "0",
                                 "--buyout", "0", "--rate", "4", "--simple"}),
              0)
        << err_;
    {
        Database db = Open();
        EXPECT_EQ(Recordset(db, "SELECT Centesimo FROM tabContratti").Value(0).ToDouble(), -1);
    }
    ASSERT_EQ(Run({"--show", "1"}), 0) << err_;
    EXPECT_NE(out_.find("\"plan_to_the_cent\": true,"), std::string::npos) << out_;
    EXPECT_NE(out_.find("\"type\": \"Maxi.\", \"date\": \"2026-01-15\", \"rate\": 0, \"amount\": "
                        "0, \"capital\": 0, \"interest\": 0, \"residual\": 209824.65}"),
              std::string::npos)
        << out_;
    // The last instalment leaves exactly nothing: 17.807,18 of capital, 59,36 of interest.
    EXPECT_NE(out_.find("\"type\": \"Rata\", \"date\": \"2027-01-15\", \"rate\": 4, \"amount\": "
                        "17866.54, \"capital\": 17807.18, \"interest\": 59.36, \"residual\": 0}"),
              std::string::npos)
        << out_;
    ASSERT_EQ(Save("Classico"), 0) << err_;
    ASSERT_EQ(Run({"--show", "2"}), 0) << err_;
    EXPECT_NE(out_.find("\"plan_to_the_cent\": false,"), std::string::npos);
}

}  // namespace
}  // namespace quotaplan
