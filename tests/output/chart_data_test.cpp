// The figures of the plan's chart: bars per instalment or per year, the axis labels and the
// tooltips, from plans the engine builds.
#include <gtest/gtest.h>

#include "common/number_text.h"
#include "output/plan_chart_data.h"
#include "output_test_support.h"

namespace quotaplan {
namespace {

std::string Amount(double value) { return FormatNumber(value, 1); }

TEST(PlanChartData, EmptyBeforeAPlan) { EXPECT_TRUE(PlanChartDataOf(FinancialPlan{}).Empty()); }

// A bar per instalment with its shares and the residual after it; the buy-out is no bar.
TEST(PlanChartData, ABarPerInstalmentWithItsFigures) {
    const FinancialPlan plan = test::EngineMonthlyPlan(12, 1000);
    const PlanChartData data = PlanChartDataOf(plan);
    ASSERT_EQ(data.bars.size(), 12u);
    EXPECT_EQ(data.axis, ChartAxis::DueDates);
    EXPECT_EQ(data.yearsPerBar, 0);
    for (std::size_t k = 0; k < 12; ++k) {
        const ChartBar& bar = data.bars[k];
        const PlanRow& row = plan.rows[k];
        EXPECT_EQ(bar.firstNumber, static_cast<int>(k + 1));
        EXPECT_EQ(bar.lastNumber, static_cast<int>(k + 1));
        EXPECT_EQ(bar.firstDate, row.Data);
        EXPECT_EQ(bar.capital, row.QCapitale);
        EXPECT_EQ(bar.interest, row.QInteressi);
        EXPECT_EQ(bar.residual, row.DebitoRes);
    }
    EXPECT_EQ(ChartBarTooltip(data, 0),
              "1° Rata del 15/02/06\nImporto: 778,81\nQ. Capitale: 730,13\nQ. Interessi: "
              "48,68\nDeb. Res.: 9.269,87");
    EXPECT_EQ(ChartBarLabel(data, 11), "15/01/07");
    EXPECT_EQ(ChartAxisTitle(data), "Scadenza");
}

struct AxisCase {
    const char* name;
    int instalments;
    ChartAxis axis;
    std::size_t bars;
    int yearsPerBar;
    const char* title;
    const char* lastLabel;
};

class ChartAxisTest : public ::testing::TestWithParam<AxisCase> {};

// Dates up to 120 instalments, numbers beyond; a bar per instalment up to 360, then a bar
// per year, or per as many years as keep 200 bars at most.
TEST_P(ChartAxisTest, BarsAndLabelsFollowThePlansLength) {
    const AxisCase& c = GetParam();
    const PlanChartData data = PlanChartDataOf(test::LongPlan(c.instalments));
    EXPECT_EQ(data.axis, c.axis);
    EXPECT_EQ(data.bars.size(), c.bars);
    EXPECT_EQ(data.yearsPerBar, c.yearsPerBar);
    EXPECT_EQ(ChartAxisTitle(data), c.title);
    EXPECT_EQ(ChartBarLabel(data, data.bars.size() - 1), c.lastLabel);
    // Every instalment stands in exactly one bar, in order.
    int next = 1;
    for (const ChartBar& bar : data.bars) {
        EXPECT_EQ(bar.firstNumber, next);
        next = bar.lastNumber + 1;
    }
    EXPECT_EQ(next, c.instalments + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ChartAxisTest,
    ::testing::Values(
        AxisCase{"OneHundredTwenty", 120, ChartAxis::DueDates, 120, 0, "Scadenza", "15/01/16"},
        AxisCase{"OneHundredTwentyOne", 121, ChartAxis::InstalmentNumbers, 121, 0, "Rata", "121"},
        AxisCase{"ThreeHundredSixty", 360, ChartAxis::InstalmentNumbers, 360, 0, "Rata", "360"},
        // 15/02/2006 to 15/02/2036: 31 calendar years, the first with 11 instalments.
        AxisCase{"ThreeHundredSixtyOne", 361, ChartAxis::InstalmentNumbers, 31, 1,
                 "Rata (barre annuali)", "360"},
        // 2,731 calendar years in bars of 14; the last from 4736, after 11 + 2,729 * 12.
        AxisCase{"Largest", 32767, ChartAxis::InstalmentNumbers, 196, 14, "Rata (barre di 14 anni)",
                 "32760"}),
    [](const auto& info) { return std::string(info.param.name); });

// A year's bar sums the shares of its instalments and ends on the last one's residual debt.
TEST(PlanChartData, AYearBarSumsItsInstalments) {
    const FinancialPlan plan = test::EngineMonthlyPlan(480);
    const PlanChartData data = PlanChartDataOf(plan);
    ASSERT_EQ(data.yearsPerBar, 1);
    const ChartBar& second = data.bars[1];  // 2007: instalments 12 to 23
    EXPECT_EQ(second.firstNumber, 12);
    EXPECT_EQ(second.lastNumber, 23);
    double capital = 0, interest = 0, amount = 0;
    for (int k = 11; k <= 22; ++k) {
        capital += plan.rows[k].QCapitale;
        interest += plan.rows[k].QInteressi;
        amount += plan.rows[k].QCapitale + plan.rows[k].QInteressi;
    }
    EXPECT_EQ(second.capital, capital);
    EXPECT_EQ(second.interest, interest);
    EXPECT_EQ(second.residual, plan.rows[22].DebitoRes);
    EXPECT_EQ(ChartBarTooltip(data, 1), "Anno 2007, rate 12-23\nImporto: " + Amount(amount) +
                                            "\nQ. Capitale: " + Amount(capital) +
                                            "\nQ. Interessi: " + Amount(interest) +
                                            "\nDeb. Res.: " + Amount(plan.rows[22].DebitoRes));
    const PlanChartData wide = PlanChartDataOf(test::LongPlan(32767));
    EXPECT_EQ(ChartBarTooltip(wide, 0).substr(0, 29), "Anni 2006-2019, rate 1-167\nIm");
}

struct LabelCase {
    const char* name;
    int bars;
    std::size_t maxLabels;
    std::vector<std::size_t> labelled;
};

class ChartLabelTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(ChartLabelTest, TheFirstBarAndEveryRoundStepAfterIt) {
    const LabelCase& c = GetParam();
    EXPECT_EQ(ChartLabelledBars(PlanChartDataOf(test::LongPlan(c.bars)), c.maxLabels), c.labelled);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ChartLabelTest,
    ::testing::Values(LabelCase{"EveryBar", 5, 12, {0, 1, 2, 3, 4}},
                      LabelCase{"EveryOther", 13, 12, {0, 2, 4, 6, 8, 10, 12}},
                      LabelCase{"Half", 36, 12, {0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33}},
                      LabelCase{"Yearly", 120, 12, {0, 12, 24, 36, 48, 60, 72, 84, 96, 108}},
                      LabelCase{
                          "FiveYearly", 360, 12, {0, 36, 72, 108, 144, 180, 216, 252, 288, 324}},
                      LabelCase{"AtLeastOne", 3, 0, {0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quotaplan
