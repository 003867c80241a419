#include "cli/usage.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "cli/export_command.h"
#include "cli/quotaplan_calc.h"

namespace quotaplan {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(CalcHelp, PrintsTheUsageAndSucceeds) {
    std::ostringstream out, err;
    EXPECT_EQ(RunQuotaplanCalc({"--help"}, out, err, "."), 0);
    EXPECT_EQ(err.str(), "");
    const auto lines = LinesOf(out.str());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Uso:");
    EXPECT_EQ(lines.back(),
              "Stato di uscita: 0 eseguito; 2 dati non validi o richiesta rifiutata; 1 errore di "
              "calcolo o dell'archivio.");
    // Other options beside it change nothing.
    std::ostringstream again;
    EXPECT_EQ(RunQuotaplanCalc({"--value", "10000", "--help"}, again, err, "."), 0);
    EXPECT_EQ(again.str(), out.str());
}

// What the calculator answers without calculating: the same help for -h, and its version.
struct AnswerCase {
    const char* name;
    std::vector<std::string> args;
    bool help;  // else the version
};

class CalcAnswers : public testing::TestWithParam<AnswerCase> {};

TEST_P(CalcAnswers, WithoutCalculating) {
    std::ostringstream out, err;
    EXPECT_EQ(RunQuotaplanCalc(GetParam().args, out, err, "."), 0);
    EXPECT_EQ(out.str(), GetParam().help ? UsageText() : "quotaplan-calc 4.0.0\n");
    EXPECT_EQ(err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalcAnswers,
    testing::Values(AnswerCase{"ShortHelp", {"-h"}, true},
                    AnswerCase{"ShortHelpAmongOptions", {"--value", "10000", "-h"}, true},
                    AnswerCase{"Version", {"--version"}, false},
                    AnswerCase{"VersionAmongOptions", {"--rate", "6", "--version"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A short option other than -h stays unknown.
TEST(CalcHelp, OnlyTheShortHelpIsKnown) {
    std::ostringstream out, err;
    EXPECT_EQ(RunQuotaplanCalc({"-v"}, out, err, "."), 2);
    EXPECT_EQ(err.str(), "Argomento non riconosciuto: -v\n");
    EXPECT_EQ(out.str(), "");
}

// Each group of options under one heading, in the order of its first option.
TEST(CalcHelp, EachGroupHasOneHeading) {
    std::vector<std::string> headings;
    for (const auto& line : LinesOf(UsageText())) {
        if (!line.empty() && line.front() != ' ' && line.back() == ':' && line != "Uso:") {
            headings.push_back(line);
        }
    }
    EXPECT_EQ(headings, (std::vector<std::string>{
                            "Calcolo:", "TAEG e soglia d'usura:", "Esportazione del piano:",
                            "Archivio:", "Contratti indicizzati:", "Eventi del contratto:",
                            "Perizia:", "Portafoglio:", "Altro:"}));
}

// Every option the command line accepts has exactly one line, and no line names an
// option it does not accept.
TEST(CalcHelp, EveryOptionHasOneLine) {
    std::ostringstream out, err;
    ASSERT_EQ(RunQuotaplanCalc({"--help"}, out, err, "."), 0);
    std::map<std::string, std::vector<std::string>> linesOf;
    for (const auto& line : LinesOf(out.str())) {
        if (!line.starts_with("  --")) continue;
        const auto end = line.find(' ', 4);
        linesOf[line.substr(4, end - 4)].push_back(line);
    }
    const auto known = KnownOptions();
    for (const auto& option : known) EXPECT_EQ(linesOf[option].size(), 1u) << option;
    EXPECT_EQ(linesOf.size(), known.size());
    EXPECT_EQ(OptionHelps().size(), known.size());
    // The option, what its value stands for, then its meaning in a column of its own.
    const std::string buyoutDate = linesOf["buyout-date"].at(0);
    EXPECT_TRUE(buyoutDate.starts_with("  --buyout-date AAAA-MM-GG   ")) << buyoutDate;
    EXPECT_TRUE(buyoutDate.ends_with(
        "   data del riscatto, non prima dell'ultima rata (predefinita l'ultima rata)"))
        << buyoutDate;
    EXPECT_EQ(buyoutDate.find("data"), linesOf["help"].at(0).find("mostra"));
    // Every kind of export the option accepts is named on its line.
    std::string kinds;
    for (const std::string& kind : ExportKinds()) kinds += (kinds.empty() ? "" : "|") + kind;
    EXPECT_TRUE(linesOf["export"].at(0).starts_with("  --export " + kinds + " "))
        << linesOf["export"].at(0);
}

}  // namespace
}  // namespace quotaplan
