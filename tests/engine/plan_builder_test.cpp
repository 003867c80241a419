#include "engine/plan_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/run_time_error.h"
#include "engine/rounding.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

float Cents(float amount) { return RoundHalfEven(amount, 2); }

// The row as the grid shows it: date, amount, capital, interest, residual in cents.
struct ShownRow {
    std::string date;
    float importo;
    float capitale;
    float interessi;
    float debito;
};

void ExpectRow(const FinancialPlan& plan, int number, const ShownRow& expected) {
    const PlanRow& row = plan.rows.at(number - 1);
    EXPECT_EQ(row.Tipo, "Rata") << "row " << number;
    EXPECT_EQ(row.Data.Iso(), expected.date) << "row " << number;
    EXPECT_EQ(Cents(row.Importo), expected.importo) << "row " << number;
    EXPECT_EQ(Cents(row.QCapitale), expected.capitale) << "row " << number;
    EXPECT_EQ(Cents(row.QInteressi), expected.interessi) << "row " << number;
    EXPECT_EQ(Cents(row.DebitoRes), expected.debito) << "row " << number;
}

TEST(BuildPlan, ArrearsWithBuyoutInterest) {
    FinancialPlan plan;
    const std::vector<float> rates(12, 0.06f);
    const float R = BuildPlan(plan, 10000, 0, 1000, 12, 12, 0.06f, 2, true, false, true,
                              Ymd(2006, 1, 15), Ymd(2006, 2, 15), Ymd(2007, 3, 15), rates, 1);
    EXPECT_EQ(R, 778.81f);
    ASSERT_EQ(plan.Count(), 12);
    EXPECT_TRUE(plan.PlanReady);
    ExpectRow(plan, 1, {"2006-02-15", 778.81f, 730.13f, 48.68f, 9269.87f});
    ExpectRow(plan, 12, {"2007-01-15", 778.81f, 770.19f, 8.62f, 1000.04f});
    EXPECT_EQ(plan.rows[0].Tasso, 0.06f);
    // 1000 * 0.06 * 59 / 365
    EXPECT_EQ(plan.InteressiRiscatto, 9.69863f);
    EXPECT_EQ(Cents(plan.InteressiRiscatto), 9.70f);

    const PlanRow maxi = plan.MaxiRow();
    EXPECT_EQ(maxi.Tipo, "Maxi.");
    EXPECT_EQ(maxi.Data.Iso(), "2006-01-15");
    EXPECT_EQ(maxi.Importo, 0.0f);
    EXPECT_EQ(maxi.DebitoRes, 10000.0f);
    const PlanRow buyout = plan.BuyoutRow();
    EXPECT_EQ(buyout.Tipo, "Riscatto");
    EXPECT_EQ(buyout.Data.Iso(), "2007-03-15");
    EXPECT_EQ(buyout.QCapitale, 1000.0f);
    EXPECT_EQ(buyout.QInteressi, plan.InteressiRiscatto);
    EXPECT_EQ(Cents(buyout.Importo), 1009.70f);
    EXPECT_EQ(buyout.DebitoRes, 0.0f);
}

TEST(BuildPlan, AdvanceStartsOnTheContractDate) {
    FinancialPlan plan;
    const std::vector<float> rates(12, 0.06f);
    const float R = BuildPlan(plan, 10000, 0, 1000, 12, 12, 0.06f, 2, true, true, false,
                              Ymd(2006, 1, 15), Ymd(2006, 2, 15), Ymd(2007, 3, 15), rates, 1);
    EXPECT_EQ(R, 775.04f);
    ExpectRow(plan, 1, {"2006-01-15", 775.04f, 775.04f, 0.0f, 9224.96f});
    ExpectRow(plan, 2, {"2006-02-15", 775.04f, 730.13f, 44.91f, 8494.83f});
    ExpectRow(plan, 12, {"2006-12-15", 775.04f, 766.46f, 8.58f, 995.15f});
    EXPECT_EQ(plan.InteressiRiscatto, 0.0f);
}

TEST(BuildPlan, NoBuyoutDateMeansNoBuyoutInterest) {
    FinancialPlan plan;
    const std::vector<float> rates(12, 0.06f);
    BuildPlan(plan, 10000, 0, 1000, 12, 12, 0.06f, 2, true, false, true, Ymd(2006, 1, 15),
              Ymd(2006, 2, 15), CalendarDate(), rates, 1);
    EXPECT_EQ(plan.InteressiRiscatto, 0.0f);
    EXPECT_TRUE(plan.DataRiscatto.IsZero());
    EXPECT_EQ(plan.BuyoutDate().Iso(), "2007-01-15");
    EXPECT_EQ(plan.BuyoutRow().Data.Iso(), "2007-01-15");
}

std::vector<float> SixThenEight() {
    std::vector<float> rates(12, 0.06f);
    for (int k = 6; k < 12; ++k) rates[k] = 0.08f;
    return rates;
}

TEST(BuildPlan, ARateChangeStartsANewSegment) {
    FinancialPlan plan;
    const float R =
        BuildPlan(plan, 10000, 0, 0, 12, 12, 0.06f, 2, true, false, false, Ymd(2006, 1, 28),
                  Ymd(2006, 2, 28), CalendarDate(), SixThenEight(), 1);
    EXPECT_EQ(R, 859.93f);  // the first segment's instalment
    const char* dates[12] = {"2006-02-28", "2006-03-31", "2006-04-30", "2006-05-31",
                             "2006-06-30", "2006-07-31", "2006-08-31", "2006-09-30",
                             "2006-10-31", "2006-11-30", "2006-12-31", "2007-01-31"};
    for (int r = 1; r <= 12; ++r) {
        const PlanRow& row = plan.rows[r - 1];
        EXPECT_EQ(row.Data.Iso(), dates[r - 1]) << r;
        EXPECT_EQ(row.Importo, r <= 6 ? 859.93f : 864.61f) << r;
        EXPECT_EQ(row.Tasso, r <= 6 ? 0.06f : 0.08f) << r;
    }
    EXPECT_EQ(Cents(plan.rows[11].DebitoRes), 0.02f);
    EXPECT_EQ(plan.Valore, 10000.0f);  // the header keeps the first segment's value
}

TEST(BuildPlan, ARateChangeInAdvanceChargesNoInterestOnItsFirstRow) {
    FinancialPlan plan;
    const float R =
        BuildPlan(plan, 10000, 0, 0, 12, 12, 0.06f, 2, true, true, false, Ymd(2006, 1, 28),
                  Ymd(2006, 2, 28), CalendarDate(), SixThenEight(), 1);
    EXPECT_EQ(R, 855.77f);
    for (int r = 1; r <= 12; ++r) {
        EXPECT_EQ(plan.rows[r - 1].Importo, r <= 6 ? 855.77f : 854.92f) << r;
    }
    EXPECT_EQ(plan.rows[6].QInteressi, 0.0f);
    EXPECT_EQ(plan.rows[6].QCapitale, 854.92f);
    EXPECT_EQ(plan.rows[6].Data.Iso(), "2006-07-31");
    EXPECT_EQ(plan.rows[7].Data.Iso(), "2006-08-31");
}

TEST(BuildPlan, OneInstalment) {
    const std::vector<float> rates(1, 0.06f);
    FinancialPlan plan;
    // In arrears: all of V - M - B is capital, B remains; R = (V - M)(1 + i) - B.
    EXPECT_EQ(BuildPlan(plan, 10000, 1000, 2000, 1, 12, 0.06f, 2, true, false, false,
                        Ymd(2006, 1, 15), Ymd(2006, 2, 15), CalendarDate(), rates, 1),
              7043.81f);
    EXPECT_EQ(plan.rows[0].QCapitale, 7000.0f);
    EXPECT_EQ(plan.rows[0].DebitoRes, 2000.0f);
    EXPECT_EQ(plan.MaxiRow().DebitoRes, 9000.0f);
    // In advance: R = V - M - B (1 + i)^-1, all capital, and the plan ends.
    EXPECT_EQ(BuildPlan(plan, 10000, 1000, 2000, 1, 12, 0.06f, 2, true, true, false,
                        Ymd(2006, 1, 15), Ymd(2006, 2, 15), CalendarDate(), rates, 1),
              7009.69f);
    ASSERT_EQ(plan.Count(), 1);
    EXPECT_EQ(plan.rows[0].QCapitale, 7009.69f);
    EXPECT_EQ(plan.rows[0].QInteressi, 0.0f);
    EXPECT_EQ(plan.rows[0].Data.Iso(), "2006-01-15");
}

void ExpectError(int number, auto&& call) {
    try {
        call();
        ADD_FAILURE() << "nothing raised";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), number);
    }
}

TEST(BuildPlan, AnErrorMidPlanLeavesAPartialPlan) {
    FinancialPlan plan;
    std::vector<float> rates(24, 0.05f);
    BuildPlan(plan, 50000, 0, 0, 24, 12, 0.05f, 2, true, false, false, Ymd(2005, 1, 1),
              Ymd(2005, 2, 1), CalendarDate(), rates, 1);

    // A row rate of 0 from instalment 7 on: the new segment divides by zero.
    rates.assign(12, 0.06f);
    for (int k = 6; k < 12; ++k) rates[k] = 0.0f;
    ExpectError(11, [&] {
        BuildPlan(plan, 10000, 500, 0, 12, 12, 0.06f, 2, true, false, false, Ymd(2006, 1, 28),
                  Ymd(2006, 2, 28), CalendarDate(), rates, 1);
    });
    EXPECT_TRUE(plan.PlanReady);
    ASSERT_EQ(plan.Count(), 12);  // the earlier 24-row plan is gone
    EXPECT_EQ(plan.Valore, 10000.0f);
    EXPECT_EQ(plan.Maxicanone, 500.0f);
    EXPECT_EQ(plan.rows[5].Data.Iso(), "2006-07-31");
    EXPECT_GT(plan.rows[5].DebitoRes, 0.0f);
    for (int r = 7; r <= 12; ++r) {
        const PlanRow& row = plan.rows[r - 1];
        EXPECT_TRUE(row.Data.IsZero()) << r;
        EXPECT_EQ(row.Importo, 0.0f) << r;
        EXPECT_EQ(row.QCapitale, 0.0f) << r;
        EXPECT_EQ(row.QInteressi, 0.0f) << r;
        EXPECT_EQ(row.DebitoRes, 0.0f) << r;
        EXPECT_EQ(row.Tasso, 0.0f) << r;
    }
}

TEST(BuildPlan, DueDatesBeyondTheYear9999StopThePlan) {
    // 9000 yearly instalments from 2006 would end in the year 11005.
    FinancialPlan plan;
    const std::vector<float> rates(9000, 0.001f);
    ExpectError(5, [&] {
        BuildPlan(plan, 1e6f, 0, 0, 9000, 1, 0.001f, 2, true, false, false, Ymd(2006, 1, 1),
                  Ymd(2007, 1, 1), CalendarDate(), rates, 1);
    });
    EXPECT_TRUE(plan.PlanReady);
    EXPECT_EQ(plan.rows[7992].Data.Iso(), "9999-01-01");
    EXPECT_TRUE(plan.rows[7993].Data.IsZero());
    EXPECT_EQ(plan.rows[7993].QCapitale, 0.0f);
}

TEST(BuildPlan, BadArgumentsLeaveThePreviousPlan) {
    FinancialPlan plan;
    const std::vector<float> rates(12, 0.06f);
    BuildPlan(plan, 10000, 0, 0, 12, 12, 0.06f, 2, true, false, false, Ymd(2006, 1, 15),
              Ymd(2006, 2, 15), CalendarDate(), rates, 1);
    const std::vector<float> tooFew(11, 0.06f);
    ExpectError(5, [&] {
        BuildPlan(plan, 20000, 0, 0, 12, 12, 0.06f, 2, true, false, false, Ymd(2006, 1, 15),
                  Ymd(2006, 2, 15), CalendarDate(), tooFew, 1);
    });
    ExpectError(5, [&] {
        BuildPlan(plan, 20000, 0, 0, 0, 12, 0.06f, 2, true, false, false, Ymd(2006, 1, 15),
                  Ymd(2006, 2, 15), CalendarDate(), rates, 1);
    });
    ExpectError(5, [&] {
        BuildPlan(plan, 20000, 0, 0, 24, 12, 0.06f, 2, true, false, false, Ymd(2006, 1, 15),
                  Ymd(2006, 2, 15), CalendarDate(), std::vector<float>(24, 0.06f), 13);
    });
    // The first instalment fails before the plan is touched: a periodic rate of 0.
    ExpectError(11, [&] {
        BuildPlan(plan, 20000, 0, 0, 12, 12, 0.0f, 2, true, false, false, Ymd(2006, 1, 15),
                  Ymd(2006, 2, 15), CalendarDate(), rates, 1);
    });
    EXPECT_EQ(plan.Valore, 10000.0f);
    EXPECT_EQ(plan.rows[0].Importo, 859.93f);
}

TEST(BuildPlan, ARateChangeAtEveryOneOfTheLargestCount) {
    // 32,767 segments of one instalment each: a recursive builder would need as many
    // nested calls. Low rates keep (1 + i)^32767 within the 32-bit range.
    constexpr std::int16_t kCount = 32767;
    std::vector<float> rates(kCount);
    for (int k = 0; k < kCount; ++k) rates[k] = k % 2 == 0 ? 0.01f : 0.02f;
    for (bool advance : {false, true}) {
        FinancialPlan plan;
        const float R = BuildPlan(plan, 1e6f, 0, 0, kCount, 12, 0.01f, 2, true, advance, false,
                                  Ymd(2006, 1, 31), Ymd(2006, 2, 28), CalendarDate(), rates, 1);
        ASSERT_EQ(plan.Count(), kCount);
        EXPECT_GT(R, 0.0f);
        // 32,766 months (2,730 years and 6 months) after the first instalment.
        EXPECT_EQ(plan.rows.back().Data.Iso(), advance ? "4736-07-31" : "4736-08-31");
        EXPECT_EQ(plan.rows.back().Tasso, 0.01f);
        for (int r = 1; r < kCount; ++r) {
            ASSERT_FALSE(plan.rows[r].Data.IsZero()) << r;
            ASSERT_GT(plan.rows[r].Data, plan.rows[r - 1].Data) << r;
        }
    }
}

}  // namespace
}  // namespace quotaplan
