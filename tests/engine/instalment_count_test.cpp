#include "engine/instalment_count.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace quotaplan {
namespace {

Money Cents(std::int64_t cents) { return Money::FromCents(cents); }

// The count by its definition: every n tried in turn.
int CountTriedInTurn(const InstalmentCount& search, const ExactPeriodRate& rate) {
    const auto cents = [](Money amount) { return static_cast<long double>(amount.Cents()); };
    for (int n = 1; n < search.most; ++n) {
        const long double worth = cents(search.instalment) * rate.AnnuityArrears(n) +
                                  cents(search.buyout) * rate.Discount(n + search.buyoutOffset);
        if (worth >= cents(search.debt) - 0.5L) return n;
    }
    return search.most;
}

struct CountExample {
    const char* name;
    std::int64_t rateTenThousandths;  // annual
    std::int16_t periodsPerYear;
    Capitalisation capitalisation;
    std::int64_t instalment, buyout;
    int most, buyoutOffset;
};

class InstalmentsToPayOffTest : public ::testing::TestWithParam<CountExample> {};

// For every n, the debts a cent either side of what n instalments (and the buy-out) are
// worth, and that worth itself: the count agrees with trying every n in turn.
TEST_P(InstalmentsToPayOffTest, AgreesWithTryingEveryCount) {
    const CountExample& example = GetParam();
    const ExactPeriodRate rate(Percent::FromTenThousandths(example.rateTenThousandths),
                               example.periodsPerYear, example.capitalisation);
    InstalmentCount search{Money(), Cents(example.instalment), Cents(example.buyout), example.most,
                           example.buyoutOffset};
    int checked = 0;
    for (int n = 0; n <= example.most + 1; ++n) {
        const long double worth =
            n == 0 ? 0.0L
                   : example.instalment * rate.AnnuityArrears(n) +
                         example.buyout * rate.Discount(n + example.buyoutOffset);
        const auto floor = static_cast<std::int64_t>(std::floor(worth));
        for (std::int64_t debt = floor - 1; debt <= floor + 2; ++debt) {
            search.debt = Cents(debt);
            ASSERT_EQ(InstalmentsToPayOff(search, rate), CountTriedInTurn(search, rate))
                << "n " << n << ", debt " << debt;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 4 * (example.most + 2));
}

constexpr auto kSimple = Capitalisation::Simple;
constexpr auto kCompound = Capitalisation::Compound;

INSTANTIATE_TEST_SUITE_P(
    Cases, InstalmentsToPayOffTest,
    ::testing::Values(
        // In arrears without buy-out: the consumer loan and the 360-month mortgage.
        CountExample{"ArrearsSimple", 53500, 12, kSimple, 24999, 0, 84, 0},
        CountExample{"ArrearsCompoundMortgage", 40000, 12, kCompound, 95483, 0, 360, 0},
        // In arrears the buy-out falls with the last instalment.
        CountExample{"ArrearsWithBuyout", 60000, 12, kCompound, 86066, 100000, 48, 0},
        // In advance it falls a period after it.
        CountExample{"AdvanceWithBuyout", 60000, 12, kCompound, 99198, 300000, 60, 1},
        CountExample{"AdvanceSimpleQuarterly", 85000, 4, kSimple, 412345, 500000, 20, 1},
        CountExample{"ZeroRateWithBuyout", 0, 12, kSimple, 10000, 50000, 36, 1},
        CountExample{"NegativeRate", -5000, 12, kCompound, 20000, 100000, 120, 0},
        // The buy-out's interest (1.000,00 a month) outgrows the instalment: each instalment
        // added lowers the worth.
        CountExample{"BuyoutInterestAboveTheInstalment", 120000, 12, kSimple, 50000, 10000000, 24,
                     0},
        // The instalment is exactly the buy-out's interest: every count is worth the same.
        CountExample{"InstalmentEqualToTheBuyoutsInterest", 120000, 12, kSimple, 100000, 10000000,
                     24, 0},
        // So high a rate that the last instalments are worth less than the rounding of the
        // first.
        CountExample{"PowersBelowTheRounding", 10000000, 12, kCompound, 100000, 0, 360, 0},
        CountExample{"OneInstalmentLeft", 40000, 12, kCompound, 95483, 0, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quotaplan
