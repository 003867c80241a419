#include "engine/taeg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace quotaplan {
namespace {

CalendarDate Iso(const char* text) { return *CalendarDate::FromIso(text); }

struct YearsCase {
    const char* name;
    const char* from;
    const char* to;
    double years;
};

class YearsBetweenTest : public testing::TestWithParam<YearsCase> {};

TEST_P(YearsBetweenTest, CountsMonthsThenDays) {
    const YearsCase& c = GetParam();
    EXPECT_DOUBLE_EQ(YearsBetween(Iso(c.from), Iso(c.to)), c.years);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, YearsBetweenTest,
    testing::Values(
        YearsCase{"same_day", "2026-01-15", "2026-01-15", 0},
        YearsCase{"two_months", "2026-01-15", "2026-03-15", 2.0 / 12},
        // The examples of the Commission's guidelines on the Directive's Annex I.
        YearsCase{"guideline_a_year", "2019-01-12", "2020-01-12", 1},
        YearsCase{"guideline_month_end_to_february", "2019-01-31", "2019-02-28", 1.0 / 12},
        YearsCase{"guideline_month_end_to_leap_february", "2020-01-31", "2020-02-29", 1.0 / 12},
        YearsCase{"guideline_february_end_to_march_end", "2019-02-28", "2019-03-31", 1.0 / 12},
        YearsCase{"guideline_a_month_and_a_day", "2019-01-31", "2019-03-01", 1.0 / 12 + 1.0 / 365},
        YearsCase{"guideline_day_in_a_leap_year", "2020-12-31", "2021-03-01", 2.0 / 12 + 1.0 / 366},
        YearsCase{"guideline_seventeen_months", "2019-01-01", "2020-06-15", 17.0 / 12 + 14.0 / 365},
        YearsCase{"guideline_seventeen_months_leap", "2020-03-01", "2021-08-15",
                  17.0 / 12 + 14.0 / 366},
        // Counted back from 01/03 the month ends on 01/02: two days after 30/01.
        YearsCase{"days_at_the_drawdown_end", "2026-01-30", "2026-03-01", 1.0 / 12 + 2.0 / 365},
        YearsCase{"month_end_to_mid_month", "2019-01-31", "2019-03-30", 1.0 / 12 + 28.0 / 365},
        YearsCase{"month_end_kept", "2007-01-31", "2007-04-30", 3.0 / 12},
        YearsCase{"leap_day_to_february_end", "2020-02-29", "2021-02-28", 1},
        YearsCase{"days_ending_on_a_leap_day", "2024-01-31", "2024-03-29", 1.0 / 12 + 29.0 / 366},
        YearsCase{"days_after_months", "2007-01-28", "2007-03-31", 2.0 / 12 + 3.0 / 365},
        YearsCase{"days_in_a_leap_year", "2024-03-01", "2024-03-31", 30.0 / 366},
        YearsCase{"leap_year_not_in_the_span", "2024-01-01", "2024-01-31", 30.0 / 365},
        // The year of the days ends on 05/01/2024: no 29 February in it.
        YearsCase{"over_a_year", "2023-12-20", "2025-01-05", 1 + 16.0 / 365},
        YearsCase{"backwards", "2026-05-10", "2025-05-10", -1}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<DatedFlow> Monthly(const char* drawn, std::int64_t drawdownCents,
                               const std::vector<std::int64_t>& paidCents) {
    std::vector<DatedFlow> flows{{Iso(drawn), Money::FromCents(drawdownCents)}};
    for (std::size_t k = 0; k < paidCents.size(); ++k) {
        flows.push_back({AddCalendarMonths(Iso(drawn), static_cast<int>(k + 1)),
                         Money::FromCents(-paidCents[k])});
    }
    return flows;
}

double Taeg(const std::vector<DatedFlow>& flows) {
    const auto rate = SolveTaeg(flows).rate;
    EXPECT_TRUE(rate.has_value());
    return rate.value_or(NAN);
}

std::int64_t ShownHundredths(const std::vector<DatedFlow>& flows) {
    return TaegPercent(Taeg(flows)).TenThousandths() / 100;
}

TEST(SolveTaeg, TenThousandAtSixPercentWithFees) {
    // 860,66 x 11 and 860,70, each with 2 of fees; 150 of fees on the contract date.
    std::vector<std::int64_t> withFee(11, 86266);
    withFee.push_back(86272);
    EXPECT_EQ(ShownHundredths(Monthly("2026-01-15", 1000000 - 15000, withFee)), 968);
    std::vector<std::int64_t> bare(11, 86066);
    bare.push_back(86070);
    EXPECT_EQ(ShownHundredths(Monthly("2026-01-15", 1000000, bare)), 617);
}

TEST(SolveTaeg, YearlyRepayments) {
    const std::vector<DatedFlow> flows{{Iso("2026-03-01"), Money::FromCents(100000)},
                                       {Iso("2027-03-01"), Money::FromCents(-60000)},
                                       {Iso("2028-03-01"), Money::FromCents(-60000)}};
    EXPECT_EQ(ShownHundredths(flows), 1307);
    // 1000 (1 + X)^-1 ... : 0,6 v + 0,6 v^2 = 1, v = (-0,6 + sqrt(0,36 + 2,4)) / 1,2
    const double v = (-0.6 + std::sqrt(0.36 + 2.4)) / 1.2;
    EXPECT_NEAR(Taeg(flows), 1 / v - 1, 1e-12);
}

TEST(SolveTaeg, RatesThatCanBeWorkedOutByHand) {
    // A year for 10 %; a month for 1 %, compounded; 30 days of a leap year for 1 %.
    EXPECT_NEAR(Taeg({{Iso("2023-01-01"), Money::FromCents(100000)},
                      {Iso("2024-01-01"), Money::FromCents(-110000)}}),
                0.10, 1e-12);
    EXPECT_NEAR(Taeg({{Iso("2023-05-10"), Money::FromCents(100000)},
                      {Iso("2023-06-10"), Money::FromCents(-101000)}}),
                std::pow(1.01, 12) - 1, 1e-12);
    EXPECT_NEAR(Taeg({{Iso("2024-03-01"), Money::FromCents(100000)},
                      {Iso("2024-03-31"), Money::FromCents(-101000)}}),
                std::pow(1.01, 366.0 / 30) - 1, 1e-12);
    // Two months back from 01/03/2021 end on 01/01/2021: a day of a year with 29/02/2020.
    EXPECT_NEAR(Taeg({{Iso("2020-12-31"), Money::FromCents(100000)},
                      {Iso("2021-03-01"), Money::FromCents(-101000)}}),
                std::pow(1.01, 1 / (2.0 / 12 + 1.0 / 366)) - 1, 1e-12);
    // Repaying less than was drawn is a negative rate.
    EXPECT_NEAR(Taeg({{Iso("2023-01-01"), Money::FromCents(100000)},
                      {Iso("2024-01-01"), Money::FromCents(-90000)}}),
                -0.10, 1e-12);
    // The order of the list does not matter, nor do zero flows.
    EXPECT_NEAR(Taeg({{Iso("2024-01-01"), Money::FromCents(-110000)},
                      {Iso("2023-06-01"), Money()},
                      {Iso("2023-01-01"), Money::FromCents(100000)}}),
                0.10, 1e-12);
}

TEST(SolveTaeg, LongAndShortContracts) {
    // 600 monthly instalments of a 0,5 % monthly annuity on 100.000: 0,5 % a month.
    const double i = 0.005;
    const double annuity = 10000000 * i / (1 - std::pow(1 + i, -600));
    const std::vector<std::int64_t> paid(600, std::llround(annuity));
    EXPECT_NEAR(Taeg(Monthly("2026-01-31", 10000000, paid)), std::pow(1 + i, 12) - 1, 1e-6);
    EXPECT_EQ(ShownHundredths(Monthly("2026-01-31", 100000, {100500})), 617);
}

TEST(SolveTaeg, SettlesOnTheRootOfASteepFlowFarAway) {
    // A drawdown 700 years after the payments: from the bracket's far end Newton's steps
    // are about 1/700 long, too short to reach the root in the iterations allowed.
    EXPECT_NEAR(Taeg({{Iso("2724-03-31"), Money::FromCents(100)},
                      {Iso("2024-06-30"), Money::FromCents(-43066)},
                      {Iso("2023-07-31"), Money::FromCents(-750000)}}),
                -0.012733363873715842, 1e-12);
}

TEST(SolveTaeg, ASlopeBeyondDoublesIsNotTakenForTheRoot) {
    // Newton's first step from 0 lands where the slope overflows, and the zero step that
    // follows looked like the root: -63,17 %.
    EXPECT_NEAR(Taeg({{Iso("2724-03-31"), Money::FromCents(100)},
                      {Iso("2024-06-30"), Money::FromCents(60)},
                      {Iso("2023-07-31"), Money::FromCents(-70200)}}),
                -0.009309022954926985, 1e-12);
}

struct NoTaegCase {
    const char* name;
    std::vector<DatedFlow> flows;
    NoTaeg missing;
};

class NoTaegTest : public testing::TestWithParam<NoTaegCase> {};

TEST_P(NoTaegTest, FlowsThatFixNoSingleRate) {
    const TaegSolution taeg = SolveTaeg(GetParam().flows);
    EXPECT_FALSE(taeg.rate.has_value()) << *taeg.rate;
    EXPECT_EQ(taeg.missing, GetParam().missing);
    EXPECT_EQ(TaegText(taeg), "n.d.");
}

const DatedFlow kDrawn{Iso("2023-01-01"), Money::FromCents(100000)};
const DatedFlow kRepaidSameDay{Iso("2023-01-01"), Money::FromCents(-100000)};

INSTANTIATE_TEST_SUITE_P(
    Cases, NoTaegTest,
    testing::Values(
        NoTaegCase{"no_flows", {}, NoTaeg::OneSided},
        NoTaegCase{"zero_flows", {{Iso("2023-01-01"), Money()}}, NoTaeg::OneSided},
        NoTaegCase{"drawdown_only", {kDrawn}, NoTaeg::OneSided},
        NoTaegCase{"payments_only",
                   {kRepaidSameDay, {Iso("2024-01-01"), Money::FromCents(-100000)}},
                   NoTaeg::OneSided},
        // One instalment in advance with 50 of fees: on its one day, 50 paid and nothing drawn.
        NoTaegCase{"one_day_with_fees",
                   {kDrawn, kRepaidSameDay, {Iso("2023-01-01"), Money::FromCents(-5000)}},
                   NoTaeg::OneSided},
        // One instalment in advance without fees: whatever the rate, the flows balance.
        NoTaegCase{"one_day_cancelling_out", {kDrawn, kRepaidSameDay}, NoTaeg::EveryRate},
        NoTaegCase{"each_day_cancelling_out",
                   {kDrawn,
                    {Iso("2024-01-01"), Money::FromCents(-700)},
                    kRepaidSameDay,
                    {Iso("2024-01-01"), Money::FromCents(700)}},
                   NoTaeg::EveryRate},
        // 1.000 drawn and 0,01 repaid: -99,999 %, below the range.
        NoTaegCase{"below_the_range",
                   {kDrawn, {Iso("2024-01-01"), Money::FromCents(-1)}},
                   NoTaeg::OutOfRange}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SolveTaeg, FlowsOfOneDayCountTogether) {
    // 1.000 drawn less 50 of fees, 1.000 repaid a year later; a zero flow before the drawdown
    // does not move the count's start.
    EXPECT_NEAR(Taeg({{Iso("2022-12-15"), Money()},
                      {Iso("2024-01-01"), Money::FromCents(-100000)},
                      kDrawn,
                      {Iso("2023-01-01"), Money::FromCents(-5000)}}),
                1000.0 / 950 - 1, 1e-12);
}

TEST(TaegText, PercentWithTwoDecimals) {
    EXPECT_EQ(TaegText({0.096818, {}}), "9,68%");
    EXPECT_EQ(TaegText({std::nullopt, NoTaeg::OutOfRange}), "n.d.");
}

TEST(TaegPercent, RoundsHalfUpToTwoDecimals) {
    EXPECT_EQ(TaegPercent(0.096818).TenThousandths(), 96800);
    EXPECT_EQ(TaegPercent(0.0968500001).TenThousandths(), 96900);
    EXPECT_EQ(TaegPercent(0.0968499999).TenThousandths(), 96800);
    EXPECT_EQ(TaegPercent(-0.1).TenThousandths(), -100000);
}

}  // namespace
}  // namespace quotaplan
