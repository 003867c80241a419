#include "engine/recomputation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/run_time_error.h"
#include "engine/cents_plan.h"
#include "engine/due_dates.h"
#include "engine/review_figures.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

std::vector<CalendarDate> MonthlyDates(int count) {
    InstalmentCalendar calendar{Ymd(2026, 1, 15), Ymd(2026, 2, 15),
                                static_cast<std::int16_t>(count), 12, PaymentTiming::Arrears};
    return InstalmentDueDates(calendar);
}

RecomputationTerms Terms(std::int64_t principalCents, int count, std::int64_t rateHundredths,
                         std::int64_t buyoutCents = 0) {
    return {Money::FromCents(principalCents), Money::FromCents(buyoutCents),
            Percent::FromHundredths(rateHundredths), 12, MonthlyDates(count)};
}

// The mortgage of the reviews' oracles: 100.000 over 240 monthly instalments at 5 %.
TEST(Recompute, OraclesOfTwentyYearsAtFivePercent) {
    const auto terms = Terms(10000000, 240, 500);
    CentsPlanTerms french;
    french.value = terms.principal;
    french.capitalisation = Capitalisation::Simple;  // j / m: the ordinary French plan
    french.calendar = {Ymd(2026, 1, 15), Ymd(2026, 2, 15), 240, 12, PaymentTiming::Arrears};
    french.rates.assign(240, terms.annualRate);
    EXPECT_EQ(BuildCentsPlan(french).instalment.Cents(), 65996);

    struct Case {
        Recomputation method;
        std::int64_t instalment, totalInterest;
    };
    for (const Case c : {Case{Recomputation::Accumulated, 55633, 240 * 55633 - 10000000},
                         Case{Recomputation::Discounted, 60203, 240 * 60203 - 10000000},
                         Case{Recomputation::Italian, 83334, 5020794},
                         Case{Recomputation::InterestFree, 41667, 0}}) {
        const RecomputedPlan plan = Recompute(terms, c.method);
        EXPECT_EQ(plan.instalment.Cents(), c.instalment) << RecomputationCaption(c.method);
        EXPECT_EQ(plan.totalInterest.Cents(), c.totalInterest) << RecomputationCaption(c.method);
        ASSERT_EQ(plan.rows.size(), 240U);
        EXPECT_EQ(plan.rows.back().date, Ymd(2046, 1, 15));
    }
}

// 1.000 over three months at 12 %: i = 1 % a month, capital 333,33 a month, the last 333,34.
TEST(Recompute, ItalianAndInterestFreeRowsByHand) {
    struct Row {
        std::int64_t instalment, capital, interest, residual;
    };
    struct Case {
        Recomputation method;
        std::int64_t buyout;
        std::vector<Row> rows;
    };
    const std::vector<Case> cases = {
        {Recomputation::Italian,
         0,
         {{34333, 33333, 1000, 66667}, {34000, 33333, 667, 33334}, {33667, 33334, 333, 0}}},
        {Recomputation::InterestFree,
         0,
         {{33333, 33333, 0, 66667}, {33333, 33333, 0, 33334}, {33334, 33334, 0, 0}}},
        // 900 repaid in shares of 300, 100 left owed for the buy-out.
        {Recomputation::Italian,
         10000,
         {{31000, 30000, 1000, 70000}, {30700, 30000, 700, 40000}, {30400, 30000, 400, 10000}}},
    };
    for (const Case& c : cases) {
        const RecomputedPlan plan = Recompute(Terms(100000, 3, 1200, c.buyout), c.method);
        ASSERT_EQ(plan.rows.size(), c.rows.size());
        std::int64_t interest = 0;
        for (std::size_t k = 0; k < c.rows.size(); ++k) {
            const RecomputedRow& row = plan.rows[k];
            EXPECT_EQ(row.number, static_cast<int>(k + 1));
            EXPECT_EQ(row.instalment.Cents(), c.rows[k].instalment) << k;
            EXPECT_EQ(row.capital.Cents(), c.rows[k].capital) << k;
            EXPECT_EQ(row.interest.Cents(), c.rows[k].interest) << k;
            EXPECT_EQ(row.residual.Cents(), c.rows[k].residual) << k;
            interest += c.rows[k].interest;
        }
        EXPECT_EQ(plan.totalInterest.Cents(), interest);
        EXPECT_EQ(plan.instalment.Cents(), c.rows.front().instalment);
    }
}

// 1.000 over three months at 12 %: accumulated 1.030 / 3,03 = 339,934; discounted
// 1.000 / (1/1,01 + 1/1,02 + 1/1,03) = 339,978; with 100 of buy-out (1.030 - 100) / 3,03.
TEST(SimpleInterestInstalment, SmallCasesByHand) {
    struct Case {
        Recomputation convention;
        std::int64_t buyout, instalment, totalInterest;
    };
    for (const Case c : {Case{Recomputation::Accumulated, 0, 33993, 1979},
                         Case{Recomputation::Discounted, 0, 33998, 1994},
                         Case{Recomputation::Accumulated, 10000, 30693, 2079},
                         Case{Recomputation::Discounted, 10000, 30697, 2091}}) {
        const auto terms = Terms(100000, 3, 1200, c.buyout);
        EXPECT_EQ(SimpleInterestInstalment(terms, c.convention).Cents(), c.instalment);
        EXPECT_EQ(Recompute(terms, c.convention).totalInterest.Cents(), c.totalInterest);
    }
    // Without interest both conventions split the capital evenly.
    EXPECT_EQ(SimpleInterestInstalment(Terms(100000, 4, 0), Recomputation::Accumulated).Cents(),
              25000);
}

TEST(Recompute, RefusesTermsItCannotRepay) {
    const auto refused = [](RecomputationTerms terms, Recomputation method) {
        try {
            Recompute(terms, method);
        } catch (const RunTimeError& error) {
            return error.Number();
        }
        return 0;
    };
    EXPECT_EQ(refused(Terms(100000, 0, 500), Recomputation::Italian), 5);
    EXPECT_EQ(refused(Terms(100000, 3, -100), Recomputation::Accumulated), 5);
    EXPECT_EQ(refused(Terms(100000, 3, 500, 200000), Recomputation::Italian), 5);
}

TEST(RecomputationNamed, CommandLineNames) {
    EXPECT_EQ(RecomputationNamed("accumulated"), Recomputation::Accumulated);
    EXPECT_EQ(RecomputationNamed("discounted"), Recomputation::Discounted);
    EXPECT_EQ(RecomputationNamed("italian"), Recomputation::Italian);
    EXPECT_EQ(RecomputationNamed("interest-free"), Recomputation::InterestFree);
    EXPECT_EQ(RecomputationNamed("french"), std::nullopt);
}

// The reference plan's interest: its shares when all are given, else what it asks beyond the
// capital; what each row asked beyond the recomputed plan, or its interest when none is owed.
TEST(ReviewFigures, PlanInterestAndOverpaidAmounts) {
    const auto row = [](int number, std::int64_t instalment, std::optional<std::int64_t> interest) {
        ReviewRow made;
        made.number = number;
        made.date = Ymd(2026, 1 + number, 15);
        made.instalment = Money::FromCents(instalment);
        if (interest) made.interest = Money::FromCents(*interest);
        return made;
    };
    const std::vector<ReviewRow> shares = {row(1, 34000, 1000), row(2, 34000, 700),
                                           row(3, 34000, 400)};
    EXPECT_EQ(PlanInterest(shares, Money::FromCents(100000), Money()).Cents(), 2100);
    const std::vector<ReviewRow> amounts = {row(1, 34000, 1000), row(2, 34000, std::nullopt),
                                            row(3, 34000, 400)};
    EXPECT_EQ(PlanInterest(amounts, Money::FromCents(100000), Money::FromCents(500)).Cents(), 2500);

    const auto terms = Terms(100000, 3, 1200);
    const auto described = [&](Recomputation method) {
        std::vector<std::string> lines;
        for (const DatedAmount& owed : OverpaidAmounts(amounts, Recompute(terms, method))) {
            lines.push_back(owed.date.Iso() + " " + std::to_string(owed.amount.Cents()));
        }
        return lines;
    };
    // Italian 343,33 / 340,00 / 336,67 against 340,00 a month.
    EXPECT_EQ(described(Recomputation::Italian),
              (std::vector<std::string>{"2026-02-15 -333", "2026-03-15 0", "2026-04-15 333"}));
    // The interest paid, where the row gives it; the instalment beyond the capital otherwise.
    EXPECT_EQ(described(Recomputation::InterestFree),
              (std::vector<std::string>{"2026-02-15 1000", "2026-03-15 667", "2026-04-15 400"}));
}

}  // namespace
}  // namespace quotaplan
