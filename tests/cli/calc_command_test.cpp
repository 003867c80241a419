#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/quotaplan_calc.h"
#include "common/clock.h"

namespace quotaplan {
namespace {

using ::testing::HasSubstr;

struct CalcRun {
    int status;
    std::string out;
    std::string err;
};

CalcRun Calc(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunQuotaplanCalc(args, out, err, std::filesystem::temp_directory_path());
    return {status, out.str(), err.str()};
}

int CountOf(const std::string& text, const std::string& piece) {
    int count = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

struct OptionCase {
    const char* name;
    std::vector<std::string> args;
    std::string expected;             // a piece of the JSON document
    std::vector<std::string> more{};  // and more pieces of it
};

void PrintTo(const OptionCase& option, std::ostream* out) { *out << option.name; }

class ReferenceContracts : public testing::TestWithParam<OptionCase> {};

TEST_P(ReferenceContracts, PrintTheirFigure) {
    const CalcRun run = Calc(GetParam().args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr(GetParam().expected));
    for (const std::string& piece : GetParam().more) EXPECT_THAT(run.out, HasSubstr(piece));
    EXPECT_TRUE(run.err.empty());
}

const std::vector<std::string> kBase = {"--value", "10000", "--rate", "6", "--count", "12"};

std::vector<std::string> With(std::vector<std::string> more) {
    std::vector<std::string> args = kBase;
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Calc, ReferenceContracts,
    testing::Values(
        OptionCase{"CompoundArrears", With({}), "\"instalment\": 859.93, \"effective_rate\": 0.06"},
        // Amounts and rates count as their fields show them, with two decimals.
        OptionCase{"FieldsHoldTwoDecimals",
                   {"--value", "10000.004", "--rate", "5.996", "--count", "12"},
                   "\"instalment\": 859.93, \"effective_rate\": 0.06"},
        OptionCase{"CompoundAdvance", With({"--advance"}), "\"instalment\": 855.77"},
        OptionCase{"SimpleArrears", With({"--simple"}), "\"instalment\": 860.66"},
        OptionCase{"SimpleAdvance", With({"--simple", "--advance"}), "\"instalment\": 856.38"},
        OptionCase{"Fees",
                   {"--value", "30000", "--maxi", "3000", "--buyout", "3000", "--rate", "7.5",
                    "--count", "36", "--contract-fees", "250", "--instalment-fee", "5"},
                   "\"instalment\": 761.97, \"effective_rate\": 0.0852"},
        OptionCase{"RateWithoutSpread",
                   {"--solve", "rate", "--value", "10000", "--instalment", "859.93", "--count",
                    "12", "--spread", "1.5"},
                   "{\"rate\": 4.5, \"effective_rate\": 0.06"},
        // 0.075 * 100 - 1.5 is 6.0000005 in 32 bits; the rate field shows 6.
        OptionCase{"RateAsTheFieldShowsIt",
                   {"--solve", "rate", "--value", "30000", "--maxi", "3000", "--buyout", "3000",
                    "--instalment", "761.97", "--count", "36", "--spread", "1.5"},
                   "{\"rate\": 6, \"effective_rate\": 0.075"},
        OptionCase{"Value",
                   {"--solve", "value", "--rate", "6", "--instalment", "855.77", "--count", "12",
                    "--advance"},
                   "{\"value\": 10000, \"effective_rate\": 0.06"},
        OptionCase{"NegativeCountIsItsSize", With({"--count", "-12"}), "\"number\": 12,"},
        // The rate list holds two decimals: 6.004 is 6, no change of rate at row 2.
        OptionCase{"ListedRatesKeepTwoDecimals",
                   With({"--first-date", "2006-02-28", "--rates", "6,6.004"}),
                   "\"number\": 2, \"date\": \"2006-03-31\", \"rate\": 6, \"amount\": 859.93,"},
        // The bisection must stop where 32-bit amounts cannot resolve a cent.
        OptionCase{"RateSearchOnLargeAmounts",
                   {"--solve", "rate", "--value", "1000000", "--count", "20", "--periodicity", "1",
                    "--instalment", "101852.21"},
                   "{\"rate\": 8, "},
        OptionCase{"BuyoutInterestOfTheReferenceContract",
                   {"--value", "10000", "--buyout", "1000", "--rate", "6", "--count", "12",
                    "--contract-date", "2006-01-15", "--first-date", "2006-02-15", "--buyout-date",
                    "2007-03-15", "--buyout-interest"},
                   "\"instalment\": 778.81",
                   {"{\"type\": \"Rata\", \"number\": 1, \"date\": \"2006-02-15\", \"rate\": 6, "
                    "\"amount\": 778.81, \"capital\": 730.13, \"interest\": 48.68, \"residual\": "
                    "9269.87}",
                    "{\"type\": \"Riscatto\", \"date\": \"2007-03-15\", \"rate\": 0, \"amount\": "
                    "1009.7, \"capital\": 1000, \"interest\": 9.7, \"residual\": 0}"}},
        OptionCase{"ShortRateListRepeatsItsLastRate",
                   With({"--first-date", "2006-02-28", "--rates", "6,6,6,6,6,6,8"}),
                   "\"number\": 6, \"date\": \"2006-07-31\", \"rate\": 6, \"amount\": 859.93",
                   {"\"number\": 7, \"date\": \"2006-08-31\", \"rate\": 8, \"amount\": 864.61",
                    "\"number\": 12, \"date\": \"2007-01-31\", \"rate\": 8, \"amount\": 864.61, "
                    "\"capital\": 859.08, \"interest\": 5.53, \"residual\": 0.02}"}},
        // On its due date the buy-out has no interest yet (an earlier date is refused by the
        // form's check).
        OptionCase{"BuyoutOnTheLastInstalmentsDay",
                   With({"--first-date", "2006-02-15", "--buyout-date", "2007-01-15", "--buyout",
                         "1000", "--buyout-interest"}),
                   "{\"type\": \"Riscatto\", \"date\": \"2007-01-15\", \"rate\": 0, "
                   "\"amount\": 1000, \"capital\": 1000, \"interest\": 0, "},
        // The plan's first segment runs at --rate + --spread, and a list may start there.
        OptionCase{"FirstListedRateIsRatePlusSpread",
                   With({"--spread", "0.5", "--rates", "6.5,6.5,8"}), "\"number\": 3, \"date\": "}),
    [](const auto& info) { return info.param.name; });

TEST(CalcPlan, BuyoutWithInterestAndMaxiRowsFramedTheInstalments) {
    const CalcRun run = Calc({"--value", "10000", "--maxi", "500", "--buyout", "1000", "--rate",
                              "6", "--count", "12", "--contract-date", "2006-01-15", "--first-date",
                              "2006-02-15", "--buyout-date", "2007-03-15", "--buyout-interest"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(CountOf(run.out, "\"type\": \"Rata\""), 12);
    const auto maxi = run.out.find(
        "{\"type\": \"Maxi.\", \"date\": \"2006-01-15\", \"rate\": 0, "
        "\"amount\": 500, \"capital\": 500, \"interest\": 0, "
        "\"residual\": 9500}");
    const auto first = run.out.find("\"number\": 1,");
    const auto buyout = run.out.find("{\"type\": \"Riscatto\", \"date\": \"2007-03-15\"");
    ASSERT_NE(maxi, std::string::npos) << run.out;
    ASSERT_NE(buyout, std::string::npos) << run.out;
    EXPECT_LT(maxi, first);
    EXPECT_LT(first, buyout);
}

// A missing contract date is today; a missing first date one period after the contract
// date (in advance the second instalment's), never the signing day itself.
TEST(CalcPlan, MissingFirstDateIsOnePeriodAfterTheContract) {
    ScopedToday today(*CalendarDate::FromYmd(2026, 12, 6));
    const struct {
        std::vector<std::string> extra;
        const char* first;
        const char* second;
    } cases[] = {
        {{}, "2027-01-06", "2027-02-06"},
        {{"--contract-date", "2026-01-31", "--periodicity", "4"}, "2026-04-30", "2026-07-31"},
        {{"--advance"}, "2026-12-06", "2027-01-06"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--maxi", "100"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CalcRun run = Calc(With(args));
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string contract = c.extra.empty() || c.extra[0] != "--contract-date"
                                         ? std::string("2026-12-06")
                                         : c.extra[1];
        EXPECT_NE(run.out.find("\"Maxi.\", \"date\": \"" + contract + "\""), std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("\"number\": 1, \"date\": \"" + std::string(c.first) + "\""),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("\"number\": 2, \"date\": \"" + std::string(c.second) + "\""),
                  std::string::npos)
            << run.out;
    }
}

TEST(CalcCsv, PrintsOnlyTheInstalmentLinesOfTheTextExport) {
    const CalcRun run =
        Calc({"--value", "10000", "--maxi", "1000", "--buyout", "500", "--rate", "6", "--count",
              "12", "--first-date", "2006-02-28", "--format", "csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(CountOf(run.out, "\n"), 12);
    EXPECT_EQ(run.out.find("Maxi."), std::string::npos);
    EXPECT_EQ(run.out.find("Riscatto"), std::string::npos);
    EXPECT_EQ(run.out.rfind("1° Rata;28/02/2006;6,00;", 0), 0u) << run.out;
}

// Refused: a status other than 0, nothing on standard output, and a message naming the
// fault. The plan's first segment runs at --rate + --spread: a list starting elsewhere would
// label its rows with one rate and calculate them at another.
TEST(CalcRefusals, NothingOnStandardOutput) {
    const struct {
        std::vector<std::string> args;
        int status;  // 0: any but 0
        std::string message;
    } cases[] = {
        {{"--rate", "6", "--count", "12"}, 0, ""},
        {{"--value", "abc", "--rate", "6", "--count", "12"}, 0, ""},
        {{"--value", "10000", "--rate", "6", "--count", "12.5"}, 0, ""},
        {{"--value", "10000", "--rate", "6", "--count", "12", "--solve", "everything"}, 0, ""},
        {{"--value", "10000", "--rate", "6", "--count"}, 0, ""},
        {{"--value", "1e40", "--rate", "6", "--count", "12"}, 0, ""},
        {With({"--spread", "0.5", "--rates", "7,7,8"}), 2,
         "Il primo tasso di --rates (7,00) deve essere uguale a --rate più --spread (6,50).\n"},
        {With({"--buyout-date", "15/03/2007"}), 2, "--buyout-date"},
    };
    for (const auto& c : cases) {
        const CalcRun run = Calc(c.args);
        SCOPED_TRACE(c.args[1]);
        EXPECT_TRUE(c.status == 0 ? run.status != 0 : run.status == c.status) << run.status;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.err.empty());
        // A whole message ends with its line; else a piece of it.
        EXPECT_EQ(c.message.ends_with("\n") ? run.err : c.message, c.message);
        EXPECT_THAT(run.err, HasSubstr(c.message));
    }
}

}  // namespace
}  // namespace quotaplan
