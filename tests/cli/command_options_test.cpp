#include "cli/command_options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/quotaplan_calc.h"

namespace quotaplan {
namespace {

// Each command names the options it would ignore, before it reads a file or calculates.
struct UnusedCase {
    const char* name;
    std::vector<std::string> args;
    std::string message;
};

class UnusedOptions : public testing::TestWithParam<UnusedCase> {};

TEST_P(UnusedOptions, AreRefusedByName) {
    std::ostringstream out, err;
    EXPECT_EQ(RunQuotaplanCalc(GetParam().args, out, err, "/nonexistent"), 2);
    EXPECT_EQ(err.str(), GetParam().message + "\n");
    EXPECT_EQ(out.str(), "");
}

const std::vector<std::string> kContract = {"--value", "10000", "--rate", "6", "--count", "12"};

std::vector<std::string> Contract(std::vector<std::string> more) {
    more.insert(more.begin(), kContract.begin(), kContract.end());
    return more;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusedOptions,
    testing::Values(
        UnusedCase{"ExportFolderWithoutExport",
                   Contract({"--out", "/tmp", "--description", "Auto"}),
                   "--description si usa solo con --export.\n"
                   "--out si usa solo con --report o --export."},
        UnusedCase{"CsvOfARate",
                   {"--solve", "rate", "--value", "10000", "--instalment", "859.93", "--count",
                    "12", "--format", "csv"},
                   "--format csv stampa le righe del piano: si usa solo con --solve instalment."},
        UnusedCase{"CsvOfAValue",
                   {"--solve", "value", "--rate", "6", "--instalment", "859.93", "--count", "12",
                    "--format", "csv"},
                   "--format csv stampa le righe del piano: si usa solo con --solve instalment."},
        UnusedCase{"TodayWithoutSummary", Contract({"--today", "2026-01-01"}),
                   "--today si usa solo con --summary."},
        UnusedCase{"TodayAlone", {"--today", "2026-01-01"}, "--today si usa solo con --summary."},
        UnusedCase{"FormatOfAnExport", Contract({"--export", "txt", "--format", "csv"}),
                   "--format non si usa con --export."},
        UnusedCase{"ContractOfAList", {"--list", "--value", "5"}, "--value non si usa con --list."},
        UnusedCase{
            "FormatOfAShow", {"--show", "1", "--format", "csv"}, "--format non si usa con --show."},
        UnusedCase{"SaveBesideABatch",
                   {"--batch", "-", "--save", "Auto"},
                   "--save non si usa con --batch."},
        UnusedCase{"JobsWithoutBatch", Contract({"--jobs", "2"}),
                   "--jobs si usa solo con --batch."},
        UnusedCase{"PlansOfASummary", {"--summary", "--plans"}, "--plans si usa solo con --batch."},
        UnusedCase{"ReviewBesideAnEvent",
                   Contract({"--payoff", "2026-06-01", "--bank-plan", "b.csv"}),
                   "--bank-plan non si usa con --payoff, --prepay, --suspend, --renegotiate o "
                   "--undo-event."},
        UnusedCase{"DescriptionOfAReport",
                   {"--report", "3", "--description", "Auto"},
                   "--description si usa solo con --export."},
        UnusedCase{"FolderOfLegalRates",
                   {"--import-legal-rates", "t.csv", "--out", "/tmp"},
                   "--out si usa solo con --report o --export."},
        UnusedCase{"ContractOfFlows",
                   {"--taeg-flows", "f.csv", "--count", "12"},
                   "--count non si usa con --taeg-flows."},
        UnusedCase{"ReindexOfADay",
                   {"--reindex-all", "--today", "2026-01-01"},
                   "--today si usa solo con --summary."},
        UnusedCase{"CopyIntoAnAddress",
                   {"--copy-archive", "a.db", "b.db", "--db", "c.db"},
                   "--db non si usa con --copy-archive."},
        UnusedCase{"ExportOfAnIndexImport",
                   {"--import-index", "i.csv", "--ref-rate", "Euribor", "--indexed"},
                   "--indexed non si usa con --import-index."}),
    [](const auto& info) { return std::string(info.param.name); });

// The options each command takes, and what it still runs.
struct TakenCase {
    const char* name;
    std::vector<std::string> args;
    std::string start;  // of the output
};

class TakenOptions : public testing::TestWithParam<TakenCase> {};

TEST_P(TakenOptions, Run) {
    std::ostringstream out, err;
    EXPECT_EQ(RunQuotaplanCalc(GetParam().args, out, err, "/nonexistent"), 0) << err.str();
    EXPECT_EQ(out.str().substr(0, GetParam().start.size()), GetParam().start);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TakenOptions,
    testing::Values(TakenCase{"CsvPlan", Contract({"--format", "csv", "--solve", "instalment"}),
                              "1° Rata;"},
                    TakenCase{"JsonRate",
                              {"--solve", "rate", "--value", "10000", "--instalment", "859.93",
                               "--count", "12", "--format", "json"},
                              "{\"rate\": 6"},
                    TakenCase{"PayoffOfTheCalculation",
                              Contract({"--contract-date", "2026-01-15", "--payoff", "2026-06-15",
                                        "--format", "json"}),
                              "{"}),
    [](const auto& info) { return std::string(info.param.name); });

// The table covers the command line: every option is taken by some command, and every
// option a command names is one the command line knows.
TEST(CommandTable, CoversEveryKnownOption) {
    const auto known = KnownOptions();
    for (const std::string& option : known) {
        if (option == "help" || option == "version") continue;
        const bool taken = std::any_of(CommandTable().begin(), CommandTable().end(),
                                       [&](const auto& command) { return Takes(command, option); });
        EXPECT_TRUE(taken) << option;
    }
    for (const auto& command : CommandTable()) {
        for (const auto& list : {command.selectors, command.takes}) {
            for (const auto option : list) {
                EXPECT_TRUE(known.contains(std::string(option))) << command.name << ": " << option;
            }
        }
    }
}

// The JSON says how the contract was calculated.
struct TermsCase {
    const char* name;
    std::vector<std::string> args;
    std::string terms;
};

class CalculatedTerms : public testing::TestWithParam<TermsCase> {};

TEST_P(CalculatedTerms, AreInTheJson) {
    std::ostringstream out, err;
    ASSERT_EQ(RunQuotaplanCalc(GetParam().args, out, err, "/nonexistent"), 0) << err.str();
    EXPECT_NE(out.str().find(GetParam().terms), std::string::npos) << out.str();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalculatedTerms,
    testing::Values(TermsCase{"Defaults", kContract,
                              ", \"capitalisation\": \"compound\", \"timing\": \"arrears\""},
                    TermsCase{"SimpleInAdvance", Contract({"--simple", "--advance"}),
                              ", \"capitalisation\": \"simple\", \"timing\": \"advance\""},
                    TermsCase{"OfARate",
                              {"--solve", "rate", "--value", "10000", "--instalment", "859.93",
                               "--count", "12", "--simple"},
                              ", \"capitalisation\": \"simple\", \"timing\": \"arrears\""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quotaplan
