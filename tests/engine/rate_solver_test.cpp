#include "engine/rate_solver.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "common/run_time_error.h"
#include "engine/annuity.h"
#include "engine/contract_calculation.h"
#include "engine/effective_rate.h"
#include "engine/rate_schedule.h"

namespace quotaplan {
namespace {

// V = 10000, M = 0, B = 0, n = 12, monthly, j = 0.06 under the four option combinations.
struct OptionCase {
    const char* name;
    bool compound;
    bool advance;
    float periodicRate;
    float instalment;
};

void PrintTo(const OptionCase& c, std::ostream* out) { *out << c.name; }

class FourOptionCombinations : public testing::TestWithParam<OptionCase> {};

TEST_P(FourOptionCombinations, InstalmentRateAndValueAgree) {
    const OptionCase& c = GetParam();
    const float i = PeriodicRateOf(0.06f, 12, c.compound);
    EXPECT_EQ(i, c.periodicRate);
    const float R = InstalmentFor(10000, 0, 0, 12, i, 2, c.advance);
    EXPECT_EQ(R, c.instalment);
    EXPECT_EQ(SolveRate(10000, 0, 0, 12, 12, R, 4, c.compound, c.advance), 0.06f);
    EXPECT_EQ(AssetValue(0, 0, 12, 12, R, 0.06f, 0, c.compound, c.advance), 10000.0f);
    // Without fees the effective rate is the nominal one.
    EXPECT_EQ(EffectiveRate(10000, 0, 0, 0, 12, 12, R, 0, c.compound, c.advance), 0.06f);
}

INSTANTIATE_TEST_SUITE_P(
    Published, FourOptionCombinations,
    testing::Values(OptionCase{"CompoundArrears", true, false, 0.0048675505f, 859.93f},
                    OptionCase{"CompoundAdvance", true, true, 0.0048675505f, 855.77f},
                    OptionCase{"SimpleArrears", false, false, 0.005f, 860.66f},
                    OptionCase{"SimpleAdvance", false, true, 0.005f, 856.38f}),
    [](const testing::TestParamInfo<OptionCase>& info) { return info.param.name; });

TEST(RateSolver, MaxiBuyoutAndFees) {
    const float i = PeriodicRateOf(0.075f, 12, true);
    const float R = InstalmentFor(30000, 3000, 3000, 36, i, 2, false);
    EXPECT_EQ(R, 761.97f);
    EXPECT_EQ(SolveRate(30000, 3000, 3000, 36, 12, R, 4, true, false), 0.075f);
    EXPECT_EQ(SolveRate(30000 - 250, 3000, 3000, 36, 12, R + 5, 4, true, false), 0.0852f);
    EXPECT_EQ(EffectiveRate(30000, 250, 3000, 3000, 36, 12, R, 5, true, false), 0.0852f);
}

TEST(RateSolver, SimpleCapitalisationGivesANominalEffectiveRate) {
    // The periodic rate that fits is 0.0068357 whatever the capitalisation: simple gives
    // 12 times it, compound (1 + i)^12 - 1.
    EXPECT_EQ(EffectiveRate(30000, 250, 3000, 3000, 36, 12, 761.97f, 5, false, false), 0.082f);
    EXPECT_EQ(EffectiveRate(30000, 250, 3000, 3000, 36, 12, 761.97f, 5, true, false), 0.0852f);
}

TEST(RateSolver, EndsWhereTheBracketCannotShrink) {
    // A million over 20 yearly instalments at 8 %: in 32 bits the bracket closes on two
    // neighbouring numbers while the gap stays above a cent; the search must still end.
    const float i = PeriodicRateOf(0.08f, 1, true);
    const float R = InstalmentFor(1000000, 0, 0, 20, i, 2, false);
    EXPECT_EQ(R, 101852.2f);
    EXPECT_EQ(SolveRate(1000000, 0, 0, 20, 1, R, 4, true, false), 0.08f);
    EXPECT_EQ(SolveRate(1000000, 0, 0, 20, 1, R, 12, true, false), 0.0799999833f);
}

TEST(RateSolver, GivesUpWithZeroWhenNoRateFits) {
    // Instalments worth more than the financed amount even at the middle of the range.
    EXPECT_EQ(SolveRate(10000, 0, 0, 12, 12, 100000, 4, true, false), 0.0f);
    EXPECT_EQ(EffectiveRate(10000, 0, 0, 0, 12, 12, 100000, 0, true, false), 0.0f);
}

TEST(RateSolver, ARateBelowTheRangeRoundsToZero) {
    // Twelve instalments that repay exactly the value: the true rate is 0.
    EXPECT_EQ(SolveRate(12000, 0, 0, 12, 12, 1000, 4, true, false), 0.0f);
}

TEST(RateSolver, OneInstalmentAndALargeBuyout) {
    const float i = PeriodicRateOf(0.06f, 12, true);
    // In advance F = 1, so R = V - M - B (1 + i)^-1.
    EXPECT_EQ(InstalmentFor(10000, 1000, 2000, 1, i, 2, true), 7009.69f);
    // A buy-out above V - M makes the instalment negative: no error.
    EXPECT_EQ(InstalmentFor(10000, 0, 20000, 12, i, 2, false), -762.58f);
}

TEST(RateSolver, ErrorsRise) {
    try {
        InstalmentFor(10000, 0, 0, 12, 0.0f, 2, false);
        ADD_FAILURE();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), 11);
    }
    try {
        AssetValue(0, 0, 12, 12, 3e38f, 0.06f, 0, true, false);
        ADD_FAILURE();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), 6);
    }
    try {
        SolveRate(10000, 0, 0, 12, 0, 860, 4, false, false);
        ADD_FAILURE();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), 11);
    }
}

TEST(RateSchedule, ListToFractions) {
    struct Case {
        const char* name;
        std::vector<float> list;
        std::int16_t n;
        std::vector<float> expected;
    };
    const Case cases[] = {
        {"empty list: the contract rate", {}, 3, {0.065f, 0.065f, 0.065f}},
        {"shorter list: repeat the last", {6, 8}, 4, {0.06f, 0.08f, 0.08f, 0.08f}},
        {"longer list kept whole", {6, 7, 8}, 2, {0.06f, 0.07f, 0.08f}},
        {"exact length", {5.25f, 5.5f}, 2, {0.0525f, 0.055f}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RatesForPlan(c.list, c.n, 5.0f + 1.5f), c.expected) << c.name;
    }
}

TEST(ContractCalculation, TheThreeTargetsAndTheEffectiveRate) {
    ContractTerms terms;
    terms.Valore = 30000;
    terms.Maxicanone = 3000;
    terms.Riscatto = 3000;
    terms.Tasso = 6.0f;
    terms.Spread = 1.5f;
    terms.NumRate = 36;
    terms.SpeseContratto = 250;
    terms.SpeseAddebito = 5;
    EXPECT_EQ(terms.AnnualRate(), 0.075f);

    FinancialPlan plan;
    terms.Rata = CalculateInstalment(terms, RatesForPlan({}, 36, terms.Tasso + terms.Spread), plan);
    EXPECT_EQ(terms.Rata, 761.97f);
    EXPECT_EQ(plan.Count(), 36);
    EXPECT_EQ(CalculateEffectiveRate(terms), 0.0852f);

    const SolvedRate solved = CalculateRate(terms);
    EXPECT_EQ(solved.annualRate, 0.075f);
    // 0.075f * 100 is 7.5000005 in 32 bits: shown with seven significant digits, 6.
    EXPECT_EQ(solved.nominalPercent, 6.0000005f);

    EXPECT_EQ(CalculateAssetValue(terms), 30000.0f);
}

TEST(ContractCalculation, TheRateFieldShowsTheRateWithoutTheSpread) {
    // A contract that really costs 6 %, with a spread of 1.5.
    ContractTerms terms;
    terms.Valore = 10000;
    terms.NumRate = 12;
    terms.Spread = 1.5f;
    terms.Rata = 859.93f;
    const SolvedRate solved = CalculateRate(terms);
    EXPECT_EQ(solved.annualRate, 0.06f);
    EXPECT_EQ(solved.nominalPercent, 4.5f);
}

}  // namespace
}  // namespace quotaplan
