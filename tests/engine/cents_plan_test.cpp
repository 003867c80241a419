#include "engine/cents_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

Money Cents(std::int64_t cents) { return Money::FromCents(cents); }

CentsPlanTerms Monthly(std::int64_t value, int count, int ratePercentHundredths,
                       Capitalisation capitalisation = Capitalisation::Simple) {
    CentsPlanTerms terms;
    terms.value = Cents(value);
    terms.calendar.count = static_cast<std::int16_t>(count);
    terms.capitalisation = capitalisation;
    terms.calendar.contractDate = Ymd(2026, 1, 15);
    terms.calendar.firstDate = Ymd(2026, 2, 15);
    terms.rates.assign(static_cast<std::size_t>(count),
                       Percent::FromHundredths(ratePercentHundredths));
    return terms;
}

// A row as the grid shows it, in cents: instalment, interest, capital, residual.
struct Row {
    std::int64_t instalment, interest, capital, residual;
};

void ExpectRow(const CentsPlan& plan, int number, const Row& expected) {
    const CentsPlanRow& row = plan.rows.at(static_cast<std::size_t>(number - 1));
    EXPECT_EQ(row.instalment.Cents(), expected.instalment) << "row " << number;
    EXPECT_EQ(row.interest.Cents(), expected.interest) << "row " << number;
    EXPECT_EQ(row.capital.Cents(), expected.capital) << "row " << number;
    EXPECT_EQ(row.residual.Cents(), expected.residual) << "row " << number;
}

// The capital of the maxi, the instalments and what they leave owed for the buy-out.
Money CapitalSum(const CentsPlan& plan) {
    Money sum = plan.maxi + plan.rows.back().residual;
    for (const CentsPlanRow& row : plan.rows) sum += row.capital;
    return sum;
}

TEST(BuildCentsPlan, MortgageOf200000At4PercentOver360Months) {
    const CentsPlan plan = BuildCentsPlan(Monthly(20000000, 360, 400));
    EXPECT_EQ(plan.instalment.Cents(), 95483);
    ExpectRow(plan, 1, {95483, 66667, 28816, 19971184});
    // A pre-rounded monthly rate would land one row on a half cent and end at 955,41.
    ExpectRow(plan, 360, {95546, 317, 95229, 0});
    Money interest;
    for (const CentsPlanRow& row : plan.rows) interest += row.interest;
    EXPECT_EQ(interest.Cents(), 14373943);
    EXPECT_EQ(CapitalSum(plan).Cents(), 20000000);
    EXPECT_EQ(plan.rows[0].date.Iso(), "2026-02-15");
    EXPECT_EQ(plan.rows[359].date.Iso(), "2056-01-15");
    EXPECT_EQ(plan.rows[359].rate.TenThousandths(), 40000);
}

TEST(BuildCentsPlan, ElevenEqualInstalmentsAndALastOneThatClosesTheDebt) {
    const CentsPlan plan = BuildCentsPlan(Monthly(1000000, 12, 600));
    for (int r = 1; r <= 11; ++r) EXPECT_EQ(plan.rows[r - 1].instalment.Cents(), 86066) << r;
    EXPECT_EQ(plan.rows[11].instalment.Cents(), 86070);
    EXPECT_EQ(plan.rows[11].residual.Cents(), 0);
}

TEST(BuildCentsPlan, CompoundRateIsNotPreRounded) {
    const CentsPlan plan = BuildCentsPlan(Monthly(20000000, 360, 400, Capitalisation::Compound));
    EXPECT_EQ(plan.instalment.Cents(), 94660);
    ExpectRow(plan, 1, {94660, 65475, 29185, 19970815});
    ExpectRow(plan, 360, {94897, 310, 94587, 0});
    EXPECT_EQ(CapitalSum(plan).Cents(), 20000000);
    // The classic plan's example: 859,93, the last instalment absorbing the cents.
    const CentsPlan small = BuildCentsPlan(Monthly(1000000, 12, 600, Capitalisation::Compound));
    EXPECT_EQ(small.instalment.Cents(), 85993);
    EXPECT_EQ(small.rows[11].instalment.Cents(), 85999);
}

// Exact half cents go up: residual cents times the period rate in whole numbers, the
// compound rate rounded once to 20 decimals (1,21^(1/2) - 1 is exactly 0,1, where a binary
// rate lands just below and made 1.000,005 into 1.000,00).
struct TieCase {
    const char* name;
    std::int64_t value;
    int ratePercentHundredths;
    std::int16_t periodsPerYear;
    Capitalisation capitalisation;
    std::int64_t firstInterest;
};

class HalfCentTest : public testing::TestWithParam<TieCase> {};

TEST_P(HalfCentTest, FirstInterestRoundsUp) {
    const TieCase& c = GetParam();
    CentsPlanTerms terms = Monthly(c.value, 4, c.ratePercentHundredths, c.capitalisation);
    terms.calendar.periodsPerYear = c.periodsPerYear;
    EXPECT_EQ(BuildCentsPlan(terms).rows[0].interest.Cents(), c.firstInterest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HalfCentTest,
    testing::Values(
        TieCase{"ten_percent_a_half_year", 1000005, 2100, 2, Capitalisation::Compound, 100001},
        TieCase{"ten_percent_a_quarter", 1000005, 4641, 4, Capitalisation::Compound, 100001},
        TieCase{"five_percent_a_half_year", 100010, 1025, 2, Capitalisation::Compound, 5001},
        TieCase{"ten_percent_a_year", 1000005, 1000, 1, Capitalisation::Compound, 100001},
        TieCase{"one_percent_a_month_simple", 1000050, 1200, 12, Capitalisation::Simple, 10001}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BuildCentsPlan, MaxiAndBuyoutInArrears) {
    CentsPlanTerms terms = Monthly(1000000, 3, 1200);
    terms.maxi = Cents(100000);
    terms.buyout = Cents(100000);
    const CentsPlan plan = BuildCentsPlan(terms);
    EXPECT_EQ(plan.instalment.Cents(), 273018);
    ExpectRow(plan, 1, {273018, 9000, 264018, 635982});
    ExpectRow(plan, 2, {273018, 6360, 266658, 369324});
    ExpectRow(plan, 3, {273017, 3693, 269324, 100000});
    EXPECT_EQ(CapitalSum(plan).Cents(), 1000000);
}

TEST(BuildCentsPlan, AdvancePaymentFirstInstalmentAllCapital) {
    CentsPlanTerms terms = Monthly(1000000, 3, 1200);
    terms.calendar.timing = PaymentTiming::Advance;
    terms.maxi = Cents(100000);
    terms.buyout = Cents(100000);
    const CentsPlan plan = BuildCentsPlan(terms);
    EXPECT_EQ(plan.instalment.Cents(), 270315);
    ExpectRow(plan, 1, {270315, 0, 270315, 629685});
    ExpectRow(plan, 2, {270315, 6297, 264018, 365667});
    // The last instalment absorbs only the rounding: it leaves 1.000 / 1,01 = 990,10 owed,
    // which a month of interest makes the buy-out on 15/04.
    ExpectRow(plan, 3, {270314, 3657, 266657, 99010});
    EXPECT_EQ(plan.rows[0].date.Iso(), "2026-01-15");
    EXPECT_EQ(plan.rows[1].date.Iso(), "2026-02-15");
    EXPECT_EQ(plan.rows[2].date.Iso(), "2026-03-15");
    EXPECT_EQ(plan.buyoutDate.Iso(), "2026-04-15");
    EXPECT_EQ(CapitalSum(plan).Cents(), 1000000);
}

// 100.000 less a maxi of 10.000 at 6 % compound, 60 monthly instalments in advance and a
// buy-out of 20.000: the buy-out a month after the last instalment, as the instalment of
// 1.438,48 is priced, and no longer forced onto the last one (which then shrank to 1.341,47).
TEST(BuildCentsPlan, AdvanceBuyoutFallsAPeriodAfterTheLastInstalment) {
    CentsPlanTerms terms = Monthly(10000000, 60, 600, Capitalisation::Compound);
    terms.calendar.timing = PaymentTiming::Advance;
    terms.maxi = Cents(1000000);
    terms.buyout = Cents(2000000);
    CentsPlan plan = BuildCentsPlan(terms);
    EXPECT_EQ(plan.instalment.Cents(), 143848);
    ExpectRow(plan, 1, {143848, 0, 143848, 8856152});
    ExpectRow(plan, 2, {143848, 43108, 100740, 8755412});
    ExpectRow(plan, 59, {143848, 10984, 132864, 2123809});
    ExpectRow(plan, 60, {143835, 10338, 133497, 1990312});
    EXPECT_EQ(plan.rows[59].date.Iso(), "2030-12-15");
    EXPECT_EQ(plan.buyoutDate.Iso(), "2031-01-15");
    EXPECT_EQ(plan.buyoutInterest.Cents(), 0);
    EXPECT_EQ(CapitalSum(plan).Cents(), 9000000 + 1000000);

    // Buy-out interest runs from that month on: 20.000 at 6 % for the 59 days to 15/03/2031.
    terms.buyoutInterest = BuyoutInterest::Yes;
    terms.buyoutDate = Ymd(2031, 3, 15);
    plan = BuildCentsPlan(terms);
    EXPECT_EQ(plan.buyoutInterest.Cents(), 19397);
    EXPECT_EQ(plan.buyoutDate.Iso(), "2031-03-15");
    EXPECT_EQ(plan.rows[59].residual.Cents(), 1990312);
    // On its due date it has none.
    terms.buyoutDate = Ymd(2031, 1, 15);
    EXPECT_EQ(BuildCentsPlan(terms).buyoutInterest.Cents(), 0);
}

TEST(BuildCentsPlan, RateChangeReamortisesTheResidual) {
    CentsPlanTerms terms = Monthly(1000000, 4, 1200);
    terms.rates[2] = terms.rates[3] = Percent::FromHundredths(2400);
    const CentsPlan plan = BuildCentsPlan(terms);
    ExpectRow(plan, 1, {256281, 10000, 246281, 753719});
    ExpectRow(plan, 2, {256281, 7537, 248744, 504975});
    ExpectRow(plan, 3, {260087, 10100, 249987, 254988});
    ExpectRow(plan, 4, {260088, 5100, 254988, 0});
    EXPECT_EQ(plan.rows[2].rate.TenThousandths(), 240000);
}

TEST(BuildCentsPlan, RateChangeInAdvanceChargesTheInterestOfThePeriod) {
    CentsPlanTerms terms = Monthly(1000000, 4, 1200);
    terms.calendar.timing = PaymentTiming::Advance;
    terms.buyout = Cents(100000);
    terms.rates[2] = terms.rates[3] = Percent::FromHundredths(2400);
    const CentsPlan plan = BuildCentsPlan(terms);
    ExpectRow(plan, 1, {229359, 0, 229359, 770641});
    ExpectRow(plan, 2, {229359, 7706, 221653, 548988});
    ExpectRow(plan, 3, {234222, 10980, 223242, 325746});
    ExpectRow(plan, 4, {234222, 6515, 227707, 98039});
}

TEST(BuildCentsPlan, BuyoutInterestToTheBuyoutDate) {
    CentsPlanTerms terms = Monthly(1000000, 12, 600, Capitalisation::Compound);
    terms.buyout = Cents(100000);
    terms.buyoutInterest = BuyoutInterest::Yes;
    terms.buyoutDate = Ymd(2027, 3, 15);
    const CentsPlan plan = BuildCentsPlan(terms);
    EXPECT_EQ(plan.rows[11].residual.Cents(), 100000);
    // 1000 * 6 % * 59 days / 365 = 9,6986...
    EXPECT_EQ(plan.buyoutInterest.Cents(), 970);
    terms.buyoutDate = CalendarDate();
    EXPECT_EQ(BuildCentsPlan(terms).buyoutInterest.Cents(), 0);
}

TEST(BuildCentsPlan, ZeroRateAndSingleInstalments) {
    const CentsPlan free = BuildCentsPlan(Monthly(100000, 3, 0));
    ExpectRow(free, 1, {33333, 0, 33333, 66667});
    ExpectRow(free, 3, {33334, 0, 33334, 0});

    CentsPlanTerms one = Monthly(1000000, 1, 600);
    one.buyout = Cents(100000);
    ExpectRow(BuildCentsPlan(one), 1, {905000, 5000, 900000, 100000});
    one.calendar.timing = PaymentTiming::Advance;
    const CentsPlan advance = BuildCentsPlan(one);
    EXPECT_EQ(advance.instalment.Cents(), 900498);
    ExpectRow(advance, 1, {900498, 0, 900498, 99502});
    EXPECT_EQ(advance.buyoutDate.Iso(), "2026-02-15");
}

TEST(BuildCentsPlan, RefusesWhatCannotBePlanned) {
    struct Bad {
        const char* name;
        CentsPlanTerms terms;
        int error;
    };
    CentsPlanTerms noRows = Monthly(100000, 0, 600);
    CentsPlanTerms fewRates = Monthly(100000, 3, 600);
    fewRates.rates.pop_back();
    CentsPlanTerms ruinous = Monthly(100000, 3, -150000);
    CentsPlanTerms noPeriods = Monthly(100000, 3, 600);
    noPeriods.calendar.periodsPerYear = 0;
    CentsPlanTerms tooLate = Monthly(100000, 3, 600);
    tooLate.calendar.firstDate = Ymd(9999, 11, 15);
    CentsPlanTerms compoundRuin = Monthly(100000, 3, -10000, Capitalisation::Compound);
    // In advance the buy-out is due on 15/04, a month after the last instalment.
    CentsPlanTerms earlyBuyout = Monthly(100000, 3, 600);
    earlyBuyout.calendar.timing = PaymentTiming::Advance;
    earlyBuyout.buyoutDate = Ymd(2026, 4, 14);
    // 8 * 10^18 cents at 25 % a year: the instalment fits in 64 bits, the first interest's
    // product (cents times the rate to 20 decimals) not in 128.
    CentsPlanTerms hugeProduct = Monthly(8000000000000000000, 3, 2500, Capitalisation::Compound);
    hugeProduct.calendar.periodsPerYear = 1;
    for (const Bad& bad : {Bad{"no rows", noRows, 5}, Bad{"fewer rates", fewRates, 5},
                           Bad{"rate below -100 %", ruinous, 5}, Bad{"m = 0", noPeriods, 5},
                           Bad{"beyond 9999", tooLate, 5}, Bad{"compound -100 %", compoundRuin, 5},
                           Bad{"buy-out before its due date", earlyBuyout, 5},
                           Bad{"interest beyond 128 bits", hugeProduct, 6}}) {
        try {
            BuildCentsPlan(bad.terms);
            ADD_FAILURE() << bad.name;
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.Number(), bad.error) << bad.name;
        }
    }
}

}  // namespace
}  // namespace quotaplan
