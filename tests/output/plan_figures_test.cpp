// The calculation's figures under the heading block of the printed plan and the PDF: which
// lines stand, and totals that add up the printed columns and the fees.
#include "output/plan_figures.h"

#include <gtest/gtest.h>

#include "output/plan_table.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

using Lines = std::vector<std::pair<std::string, std::string>>;

struct FiguresCase {
    const char* name;
    PlanFigures figures;
    Lines lines;  // all but the two totals
};

class PlanFigureLinesTest : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(PlanFigureLinesTest, LinesAsTheFormShowsThem) {
    const FiguresCase& c = GetParam();
    Lines lines = PlanFigureLines(c.figures, test::SmallPlan());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].first, "Totale interessi");
    EXPECT_EQ(lines.back().first, "Totale pagato");
    lines.resize(lines.size() - 2);
    EXPECT_EQ(lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanFigureLinesTest,
    ::testing::Values(
        FiguresCase{"TaegAndVerdict",
                    {"860,66", "150", "2,5", "9,68%", "Entro la soglia d'usura (soglia 17,2250 %)"},
                    {{"Rata", "860,66"},
                     {"Spese contratto", "150,00"},
                     {"Spese rata", "2,50"},
                     {"TAEG", "9,68% - Entro la soglia d'usura (soglia 17,2250 %)"}}},
        FiguresCase{"TaegWithoutVerdict",
                    {"1.234,5", "0", "0", "6,17%", ""},
                    {{"Rata", "1.234,50"},
                     {"Spese contratto", "0,00"},
                     {"Spese rata", "0,00"},
                     {"TAEG", "6,17%"}}},
        FiguresCase{"NoTaegAndATextThatIsNoAmount",
                    {"", "circa 100", "", "", "Nessuna soglia d'usura in vigore"},
                    {{"Rata", ""}, {"Spese contratto", "circa 100"}, {"Spese rata", ""}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The totals are the printed columns added up: the interest of every row, the buy-out's
// included, and every amount paid with the contract's fee and each instalment's.
TEST(PlanTotals, TheSumsOfThePrintedColumnsAndTheFees) {
    const FinancialPlan plan = test::SmallPlan();
    Money interest, amounts;
    int instalments = 0;
    for (const PlanTableRow& row : PlanTableRows(plan)) {
        interest += *ReadMoney(row[4]);
        amounts += *ReadMoney(row[2]);
        instalments += row[0].find("Rata") != std::string::npos;
    }
    ASSERT_EQ(instalments, 3);
    PlanFigures figures;
    figures.contractFees = "150,00";
    figures.instalmentFee = "2,5";
    const PlanTotals totals = PlanTotalsOf(plan, figures);
    EXPECT_EQ(totals.interest, interest);
    EXPECT_EQ(totals.paid, amounts + Money::FromCents(15000 + 3 * 250));
    // A fee that is no amount counts nothing.
    figures.contractFees = "circa 100";
    EXPECT_EQ(PlanTotalsOf(plan, figures).paid, amounts + Money::FromCents(3 * 250));

    const Lines lines = PlanFigureLines(figures, plan);
    EXPECT_EQ(lines.back(),
              (std::pair<std::string, std::string>(
                  "Totale pagato", FormatNumber((amounts + Money::FromCents(750)).Units(), 1))));
}

// The contract to the cent says so; a plan alone does not (a loaded contract's stored plan is
// always held to the cent).
TEST(PlanFigureLines, TheContractToTheCentSaysSo) {
    const auto said = [](const Lines& lines) {
        return std::find(lines.begin(), lines.end(),
                         std::pair<std::string, std::string>("Piano al centesimo", "Sì")) !=
               lines.end();
    };
    PlanFigures toTheCent;
    toTheCent.toTheCent = true;
    EXPECT_TRUE(said(PlanFigureLines(toTheCent, test::EngineCentsPlan(12))));
    EXPECT_FALSE(said(PlanFigureLines(PlanFigures{}, test::EngineCentsPlan(12))));
}

}  // namespace
}  // namespace quotaplan
