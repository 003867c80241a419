#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "calc_archive_fixture.h"
#include "cli/quotaplan_calc.h"

namespace quotaplan {
namespace {

using test::CalcArchive;

// 1.200 at 1,2 % simple (0,1 % a month) over 12 monthly instalments of 100,65 from
// 15/07/2026, 50 of contract fees and 2 an instalment.
const std::vector<std::string> kLoan = {"--value",    "1200",
                                        "--rate",     "1.2",
                                        "--simple",   "--count",
                                        "12",         "--plan",
                                        "cents",      "--contract-date",
                                        "2026-06-15", "--first-date",
                                        "2026-07-15", "--contract-fees",
                                        "50",         "--instalment-fee",
                                        "2"};

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Calc(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    std::ostringstream out, err;
    const int status = RunQuotaplanCalc(args, out, err, std::filesystem::temp_directory_path());
    return {status, out.str(), err.str()};
}

struct YearlyExample {
    const char* name;
    std::vector<std::string> options;
    int status;
    const char* out;
    const char* err;
};

class YearlyOnCalculation : public ::testing::TestWithParam<YearlyExample> {};

TEST_P(YearlyOnCalculation, PrintsTheYearsOrRefuses) {
    const Outcome outcome = Calc(kLoan, GetParam().options);
    EXPECT_EQ(outcome.status, GetParam().status);
    EXPECT_EQ(outcome.out, GetParam().out);
    EXPECT_EQ(outcome.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, YearlyOnCalculation,
    ::testing::Values(
        YearlyExample{"Json",
                      {"--yearly"},
                      0,
                      "[\n  {\"year\": 2026, \"capital\": 598.2, \"interest\": 5.7, \"fees\": "
                      "62, \"paid\": 665.9},\n  {\"year\": 2027, \"capital\": 601.8, "
                      "\"interest\": 2.1, \"fees\": 12, \"paid\": 615.9}\n]\n",
                      ""},
        YearlyExample{"CsvOneYear",
                      {"--yearly", "--year", "2027", "--format", "csv"},
                      0,
                      "year;capital;interest;fees;paid\n2027;601.8;2.1;12;615.9\n",
                      ""},
        YearlyExample{"AYearWithNothing", {"--yearly", "--year", "2030"}, 0, "[]\n", ""},
        YearlyExample{"YearUnreadable",
                      {"--yearly", "--year", "duemila"},
                      2,
                      "",
                      "Valore non valido per --year: \"duemila\" (serve un anno come 2025)\n"},
        YearlyExample{"TypeWithoutAll",
                      {"--yearly", "--type", "Mutuo"},
                      2,
                      "",
                      "--type si usa con --yearly solo insieme a --all.\n"}),
    [](const auto& info) { return std::string(info.param.name); });

class StoredYearly : public CalcArchive {};

INSTANTIATE_TEST_SUITE_P(Engines, StoredYearly, testing::kEngines, testing::EngineName);

TEST_P(StoredYearly, AContractTheArchiveOrOneTypeFromTheCurrentPlans) {
    std::vector<std::string> save = kLoan;
    save.insert(save.end(), {"--save", "Prestito", "--type", "Credito al consumo"});
    ASSERT_EQ(Run(save), 0) << err_;
    EXPECT_EQ(Ok({"--yearly", "--id", "1"}), Calc(kLoan, {"--yearly"}).out);

    // Three instalments suspended from December, interest only (0,70 on 701,75 each): the
    // seven instalments left move from December-June to March-September.
    Ok({"--id", "1", "--suspend", "2026-12-15", "--instalments", "3", "--kind", "capital",
        "--record"});
    save.back() = "Leasing";
    save[save.size() - 3] = "Altro";
    ASSERT_EQ(Run(save), 0) << err_;
    EXPECT_EQ(Ok({"--yearly", "--all", "--type", "Credito al consumo"}),
              "[\n  {\"year\": 2026, \"capital\": 498.25, \"interest\": 5.7, \"fees\": 60, "
              "\"paid\": 563.95},\n  {\"year\": 2027, \"capital\": 701.75, \"interest\": "
              "4.2, \"fees\": 14, \"paid\": 719.95}\n]\n");
    EXPECT_EQ(Ok({"--yearly", "--all", "--year", "2026", "--format", "csv"}),
              "year;capital;interest;fees;paid\n2026;1096.45;11.4;122;1229.85\n");

    Refused({"--yearly", "--all", "--type", "Nessuno"},
            "Valore non presente nell'archivio per --type: \"Nessuno\"");
    Refused({"--yearly", "--id", "7"}, "Il contratto 7 non è nell'archivio.");
}

}  // namespace
}  // namespace quotaplan
