#include "engine/plan_comparison.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }
Money Cents(std::int64_t cents) { return Money::FromCents(cents); }

// 1.200 over 12 months at 6 %, compound, the plan to the cent.
std::vector<ReviewRow> OurPlan(int periodsPerYear = 12, int count = 12) {
    CentsPlanTerms terms;
    terms.value = Cents(120000);
    terms.capitalisation = Capitalisation::Simple;
    terms.calendar = {Ymd(2026, 1, 31), Ymd(2026, 2, 28), static_cast<std::int16_t>(count),
                      static_cast<std::int16_t>(periodsPerYear), PaymentTiming::Arrears};
    terms.rates.assign(static_cast<std::size_t>(count), Percent::FromHundredths(600));
    return ReviewRowsOf(BuildCentsPlan(terms));
}

struct ComparisonCase {
    const char* name;
    std::function<void(std::vector<ReviewRow>&)> bankEdit;  // the bank's plan from ours
    int rows;
    std::optional<int> first;
    std::int64_t paidMore;
    std::vector<std::string> differences;  // "number field bank ours"
};

std::string Describe(const ReviewDifference& difference) {
    const auto cents = [](const std::optional<Money>& money) {
        return money ? std::to_string(money->Cents()) : std::string("-");
    };
    if (difference.field == ReviewField::Date) {
        return std::to_string(difference.number) + " date " + difference.bankDate.Iso() + " " +
               difference.ourDate.Iso();
    }
    return std::to_string(difference.number) + " " + ReviewFieldName(difference.field) + " " +
           cents(difference.bank) + " " + cents(difference.ours);
}

class ComparePlansTest : public ::testing::TestWithParam<ComparisonCase> {};

TEST_P(ComparePlansTest, RowsFirstDifferenceAndTotals) {
    const auto& c = GetParam();
    const auto ours = OurPlan();
    auto bank = ours;
    c.bankEdit(bank);
    const PlanComparison comparison = ComparePlans(bank, ours);
    EXPECT_EQ(static_cast<int>(comparison.rows.size()), c.rows);
    EXPECT_EQ(comparison.firstDifference, c.first);
    EXPECT_EQ(comparison.PaidMore().Cents(), c.paidMore);
    std::vector<std::string> described;
    for (const auto& difference : comparison.differences) described.push_back(Describe(difference));
    EXPECT_EQ(described, c.differences);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, ComparePlansTest,
    ::testing::Values(
        ComparisonCase{"Same", [](auto&) {}, 12, std::nullopt, 0, {}},
        // The bank rounded the third row's interest a cent up and took it from the capital.
        ComparisonCase{"OneCentOfInterest",
                       [](auto& bank) {
                           *bank[2].interest += Cents(1);
                           *bank[2].capital -= Cents(1);
                       },
                       12,
                       3,
                       0,
                       {"3 capital 9825 9826", "3 interest 503 502"}},
        // A bank plan without numbers or dates is matched by position; only amounts given.
        ComparisonCase{"AmountsOnly",
                       [](auto& bank) {
                           for (auto& row : bank) {
                               row.number = 0;
                               row.date = CalendarDate();
                               row.capital.reset();
                               row.interest.reset();
                               row.residual.reset();
                           }
                           *bank[11].instalment += Cents(250);
                       },
                       12,
                       12,
                       250,
                       {"12 amount 10574 10324"}},
        // Numbers shifted by one but dates right: the dates decide.
        ComparisonCase{"DatesBeforeNumbers",
                       [](auto& bank) {
                           for (auto& row : bank) row.number += 1;
                       },
                       12,
                       std::nullopt,
                       0,
                       {}},
        // The bank's plan stops a row early: our twelfth row is unmatched.
        ComparisonCase{"ShorterBankPlan",
                       [](auto& bank) { bank.pop_back(); },
                       11,
                       12,
                       -10324,
                       {"12 row - 10324"}},
        // A date the bank moved: matched by number, the date reported.
        ComparisonCase{"MovedDate",
                       [](auto& bank) { bank[0].date = Ymd(2026, 3, 1); },
                       12,
                       1,
                       0,
                       {"1 date 2026-03-01 2026-02-28"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecoverTerms, CountPeriodicityPrincipalAndRateFromTheFirstRows) {
    struct Case {
        int periodsPerYear, count;
    };
    for (const Case c : {Case{12, 12}, Case{4, 8}, Case{2, 6}}) {
        const auto recovered = RecoverTerms(OurPlan(c.periodsPerYear, c.count));
        ASSERT_TRUE(recovered) << c.periodsPerYear;
        EXPECT_EQ(recovered->count, c.count);
        EXPECT_EQ(recovered->periodsPerYear, c.periodsPerYear);
        EXPECT_EQ(recovered->principal.Cents(), 120000);
        EXPECT_EQ(recovered->annualRate, Percent::FromHundredths(600)) << c.periodsPerYear;
        EXPECT_EQ(recovered->firstDate, Ymd(2026, 2, 28));
    }
    auto undated = OurPlan();
    undated[1].date = CalendarDate();
    EXPECT_FALSE(RecoverTerms(undated));
    auto fiveMonths = OurPlan();
    fiveMonths[1].date = Ymd(2026, 7, 28);
    EXPECT_FALSE(RecoverTerms(fiveMonths));
}

}  // namespace
}  // namespace quotaplan
