#include "engine/indexation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/run_time_error.h"
#include "engine/plan_builder.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

// The published example: 2,00 from January, 2,50 from April, 1,75 from July 2026.
const std::vector<IndexValue> kSeries2026 = {
    {Ymd(2026, 1, 1), 2.00}, {Ymd(2026, 4, 1), 2.50}, {Ymd(2026, 7, 1), 1.75}};

IndexedContract Monthly(CalendarDate contract, CalendarDate first, std::int16_t count,
                        double spread, PaymentTiming timing = PaymentTiming::Arrears) {
    return {{contract, first, count, 12, timing}, spread};
}

IndexedRates Indexed(const std::vector<IndexValue>& series, const IndexedContract& contract) {
    auto result = IndexRates(series, contract);
    EXPECT_TRUE(std::holds_alternative<IndexedRates>(result));
    return std::get<IndexedRates>(result);
}

std::vector<std::string> Isos(const std::vector<CalendarDate>& dates) {
    std::vector<std::string> texts;
    for (const CalendarDate date : dates) texts.push_back(date.Iso());
    return texts;
}

TEST(IndexRates, PublishedExample) {
    const IndexedRates rates =
        Indexed(kSeries2026, Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 12, 1.5));
    EXPECT_EQ(rates.rateHundredths, (std::vector<std::int64_t>{350, 350, 350, 400, 400, 400, 325,
                                                               325, 325, 325, 325, 325}));
    EXPECT_EQ(rates.firstIndexHundredths, 200);
    EXPECT_EQ(rates.dueDates.front().Iso(), "2026-02-15");
    EXPECT_EQ(rates.dueDates.back().Iso(), "2027-01-15");
}

// Which value each instalment takes, by the start of its period.
TEST(IndexRates, ValueInForceAtEachPeriodStart) {
    struct Case {
        const char* name;
        std::vector<IndexValue> series;
        IndexedContract contract;
        std::vector<std::int64_t> expected;
        std::int64_t firstIndex;
    };
    const Case cases[] = {
        // In advance the first instalment falls on the contract date and the second period
        // starts there too: the April value reaches instalment 5 (period from 15/04).
        {"advance",
         kSeries2026,
         Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 6, 1.5, PaymentTiming::Advance),
         {350, 350, 350, 350, 400, 400},
         200},
        // A value dated on the very day a period starts is in force for it.
        {"value on the period start",
         {{Ymd(2026, 1, 1), 2.0}, {Ymd(2026, 2, 15), 3.0}},
         Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 3, 0),
         {200, 300, 300},
         200},
        // A value dated the day after a period starts waits for the next period.
        {"value the day after",
         {{Ymd(2026, 1, 1), 2.0}, {Ymd(2026, 2, 16), 3.0}},
         Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 3, 0),
         {200, 200, 300},
         200},
        // The contract date itself is the first period's start.
        {"value on the contract date",
         {{Ymd(2026, 1, 15), 1.0}},
         Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 2, 0.25),
         {125, 125},
         100},
        // Past the last known value the last one stays.
        {"beyond the series",
         {{Ymd(2020, 1, 1), 0.5}},
         Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 3, 2),
         {250, 250, 250},
         50},
        // Negative values, and the sum rounded once, halves away from zero.
        {"below zero",
         {{Ymd(2026, 1, 1), -0.125}, {Ymd(2026, 2, 1), -0.356}, {Ymd(2026, 3, 1), 3.855}},
         Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 3, 1.5),
         {138, 114, 536},
         -12},
        {"below zero without spread",
         {{Ymd(2026, 1, 1), -0.125}, {Ymd(2026, 2, 1), -0.004}},
         Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 2, 0),
         {-13, 0},
         -13},
        // Any order; of two values of one day the later in the list counts.
        {"unsorted with a repeated date",
         {{Ymd(2026, 3, 1), 4.0}, {Ymd(2026, 1, 1), 2.0}, {Ymd(2026, 3, 1), 5.0}},
         Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 3, 0),
         {200, 200, 500},
         200},
        // Quarterly from an end-of-month date: due 31/01, 30/04, 31/07, so the periods
        // start 31/12, 31/01 and 30/04.
        {"quarterly end of month",
         {{Ymd(2025, 12, 31), 1.0}, {Ymd(2026, 4, 30), 2.0}, {Ymd(2026, 7, 31), 3.0}},
         {{Ymd(2025, 12, 31), Ymd(2026, 1, 31), 3, 4, PaymentTiming::Arrears}, 0},
         {100, 100, 200},
         100},
    };
    for (const Case& c : cases) {
        const IndexedRates rates = Indexed(c.series, c.contract);
        EXPECT_EQ(rates.rateHundredths, c.expected) << c.name;
        EXPECT_EQ(rates.firstIndexHundredths, c.firstIndex) << c.name;
    }
}

TEST(IndexRates, SeriesThatDoesNotReachTheContractDate) {
    const IndexedContract contract = Monthly(Ymd(2025, 12, 15), Ymd(2026, 1, 15), 12, 1.5);
    const auto late = IndexRates(kSeries2026, contract);
    ASSERT_TRUE(std::holds_alternative<IndexGap>(late));
    EXPECT_EQ(std::get<IndexGap>(late).periodStart.Iso(), "2025-12-15");
    EXPECT_EQ(std::get<IndexGap>(late).firstValueDate.Iso(), "2026-01-01");
    EXPECT_EQ(IndexGapMessage("Euribor 3 mesi", std::get<IndexGap>(late)),
              "Il tasso di riferimento \"Euribor 3 mesi\" non ha valori in vigore al "
              "15/12/2025: il primo è del 01/01/2026.");

    const auto empty = IndexRates({}, contract);
    ASSERT_TRUE(std::holds_alternative<IndexGap>(empty));
    EXPECT_EQ(IndexGapMessage("Euribor 1 mese", std::get<IndexGap>(empty)),
              "Il tasso di riferimento \"Euribor 1 mese\" non ha valori.");
}

TEST(IndexRates, AbsurdValueIsAnOverflow) {
    const IndexedContract contract = Monthly(Ymd(2026, 1, 15), Ymd(2026, 2, 15), 2, 0);
    try {
        IndexRates({{Ymd(2026, 1, 1), 1e12}}, contract);
        FAIL() << "no error";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), 6);
    }
}

TEST(IsFixedRateName, OnlyFisso) {
    for (const char* fixed : {"Fisso", "fisso", " FISSO "}) EXPECT_TRUE(IsFixedRateName(fixed));
    for (const char* indexed : {"Euribor 3 mesi", "Fisso 5 anni", "", "Fiss"}) {
        EXPECT_FALSE(IsFixedRateName(indexed)) << indexed;
    }
}

// The dates indexing uses are the plan's own, whatever the timing and the rate changes.
TEST(InstalmentDueDates, AreThePlanRowDates) {
    struct Case {
        const char* name;
        PaymentTiming timing;
        std::int16_t periodsPerYear;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"arrears monthly",
         PaymentTiming::Arrears,
         12,
         {"2006-02-28", "2006-03-31", "2006-04-30", "2006-05-31", "2006-06-30"}},
        {"advance monthly",
         PaymentTiming::Advance,
         12,
         {"2006-01-31", "2006-02-28", "2006-03-31", "2006-04-30", "2006-05-31"}},
        {"advance half-yearly",
         PaymentTiming::Advance,
         2,
         {"2006-01-31", "2006-02-28", "2006-08-31", "2007-02-28", "2007-08-31"}},
        {"arrears yearly",
         PaymentTiming::Arrears,
         1,
         {"2006-02-28", "2007-02-28", "2008-02-28", "2009-02-28", "2010-02-28"}},
    };
    // The plan restarts at every row from the third. The first two instalments share
    // their rate, as indexing always gives them (both periods start on the contract date).
    const std::vector<float> rates = {0.06f, 0.06f, 0.07f, 0.05f, 0.08f};
    for (const Case& c : cases) {
        const InstalmentCalendar calendar{Ymd(2006, 1, 31), Ymd(2006, 2, 28), 5, c.periodsPerYear,
                                          c.timing};
        EXPECT_EQ(Isos(InstalmentDueDates(calendar)), c.expected) << c.name;
        FinancialPlan plan;
        BuildPlan(plan, 10000, 0, 0, 5, c.periodsPerYear, 0.06f, 2, true,
                  c.timing == PaymentTiming::Advance, false, calendar.contractDate,
                  calendar.firstDate, CalendarDate(), rates, 1);
        std::vector<CalendarDate> planDates;
        for (const PlanRow& row : plan.rows) planDates.push_back(row.Data);
        EXPECT_EQ(Isos(planDates), c.expected) << c.name;
    }
    EXPECT_TRUE(InstalmentDueDates({Ymd(2006, 1, 31), Ymd(2006, 2, 28), 0}).empty());
    EXPECT_EQ(Isos(InstalmentDueDates(
                  {Ymd(2006, 1, 31), Ymd(2006, 2, 28), 1, 12, PaymentTiming::Advance})),
              std::vector<std::string>{"2006-01-31"});
}

}  // namespace
}  // namespace quotaplan
