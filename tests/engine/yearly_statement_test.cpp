#include "engine/yearly_statement.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/plan_events.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }
Money Cents(std::int64_t cents) { return Money::FromCents(cents); }

TEST(YearlyStatement, CashBasisByCalendarYearTheEmptyYearsLeftOut) {
    YearlyTotals totals;
    totals.AddFees(Ymd(2025, 12, 20), Cents(30000));
    totals.AddLine(PlanLineKind::Maxi, Ymd(2025, 12, 20), Cents(100000), Money(), Cents(250));
    totals.AddLine(PlanLineKind::Instalment, Ymd(2026, 1, 20), Cents(80000), Cents(2000),
                   Cents(250));
    totals.AddLine(PlanLineKind::Suspension, Ymd(2027, 1, 20), Money(), Money(), Cents(250));
    // A year of a capitalised holiday alone: nothing paid, yet capital and interest moved.
    totals.AddLine(PlanLineKind::Suspension, Ymd(2028, 1, 20), Cents(-500), Cents(500),
                   Cents(250));
    totals.AddLine(PlanLineKind::Buyout, Ymd(2029, 1, 20), Cents(20000), Cents(100), Cents(250));
    const std::vector<YearFigures> expected = {
        {2025, Cents(100000), Money(), Cents(30000), Cents(130000)},
        {2026, Cents(80000), Cents(2000), Cents(250), Cents(82250)},
        {2028, Cents(-500), Cents(500), Money(), Money()},
        {2029, Cents(20000), Cents(100), Money(), Cents(20100)},
    };
    EXPECT_EQ(totals.Years(), expected);
    EXPECT_EQ(totals.Years(2026), std::vector<YearFigures>{expected[1]});
    EXPECT_TRUE(totals.Years(2027).empty());
}

// Random contracts with random events: the years add up to the plan's totals to the cent.
TEST(YearlyStatement, TheYearsAddUpToThePlansTotals) {
    std::mt19937 random(20260);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int trial = 0; trial < 200; ++trial) {
        const int count = pick(12, 240);
        CentsPlanTerms plan;
        plan.value = Cents(pick(500000, 50000000));
        plan.maxi = Cents(pick(0, 1) * pick(0, 100000));
        plan.buyout = Cents(pick(0, 1) * pick(0, 200000));
        const auto timing = pick(0, 1) ? PaymentTiming::Advance : PaymentTiming::Arrears;
        plan.calendar = {Ymd(2025, 3, 10), Ymd(2025, 4, 10), static_cast<std::int16_t>(count), 12,
                         timing};
        plan.capitalisation = pick(0, 1) ? Capitalisation::Simple : Capitalisation::Compound;
        plan.rates.assign(static_cast<std::size_t>(count), Percent::FromHundredths(pick(0, 1200)));
        SignedTerms terms;
        terms.contractDate = plan.calendar.contractDate;
        terms.timing = timing;
        terms.capitalisation = plan.capitalisation;
        terms.buyout = plan.buyout;
        CentsPlan current = BuildCentsPlan(plan);
        for (int event = 0; event < 3; ++event) {
            const std::size_t row = current.rows.size() / 4 * static_cast<std::size_t>(event + 1);
            const CalendarDate date = current.rows[row].date;
            const auto change = [&]() -> ContractEvent {
                switch (pick(0, 2)) {
                    case 0:
                        return {date,
                                SuspensionOptions{
                                    pick(1, 12),
                                    pick(0, 1) ? SuspensionKind::Whole : SuspensionKind::CapitalOnly,
                                    pick(0, 1) ? SuspendedInterest::Deferred
                                               : SuspendedInterest::Capitalised,
                                    Percent::FromHundredths(pick(0, 1) * 5000)},
                                ""};
                    case 1:
                        return {date,
                                PrepaymentOptions{Cents(pick(100, 100000)),
                                                  PrepaymentEffect::ShortenTerm,
                                                  {PenaltyRegime::Contractual,
                                                   Percent::FromHundredths(100)}},
                                ""};
                    default: {
                        RenegotiationOptions options;
                        options.rate = Percent::FromHundredths(pick(0, 900));
                        options.count = pick(6, 120);
                        return {date, options, ""};
                    }
                }
            }();
            auto applied = ApplyEvent(terms, current, change);
            if (auto* result = std::get_if<EventResult>(&applied)) current = result->plan;
        }
        FinancialPlan shown;
        SetPlanToTheCent(shown, current);
        const std::vector<PlanLine> lines = PlanLines(shown, DerivedLines::Always);
        const ContractCharges charges{terms.contractDate, Cents(pick(0, 50000)),
                                      Cents(pick(0, 500))};
        YearlyTotals totals;
        AddPlan(totals, lines, charges);
        Money capital, interest, fees = charges.contractFees;
        for (const PlanLine& line : lines) {
            capital += Money::FromUnits(line.capital);
            interest += Money::FromUnits(line.interest);
            fees += Money::FromUnits(line.penalty) - Money::FromUnits(line.refund);
            if (line.kind == PlanLineKind::Instalment) fees += charges.instalmentFee;
        }
        Money yearsCapital, yearsInterest, yearsFees, yearsPaid;
        for (const YearFigures& year : totals.Years()) {
            yearsCapital += year.capital;
            yearsInterest += year.interest;
            yearsFees += year.fees;
            yearsPaid += year.paid;
        }
        ASSERT_EQ(yearsCapital, capital) << trial;
        ASSERT_EQ(yearsCapital, plan.value) << trial;  // the whole value, maxi included
        ASSERT_EQ(yearsInterest, interest) << trial;
        ASSERT_EQ(yearsFees, fees) << trial;
        ASSERT_EQ(yearsPaid, capital + interest + fees) << trial;
    }
}

}  // namespace
}  // namespace quotaplan
