#include "engine/due_dates.h"

#include <gtest/gtest.h>

#include <string>

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

TEST(DueDates, AddMonthsKeepsEndOfMonthDates) {
    struct Case {
        CalendarDate from;
        int months;
        const char* expected;
    };
    const Case cases[] = {
        {Ymd(2008, 1, 31), 1, "2008-02-28"},   // February is 28 in a leap year too
        {Ymd(2006, 12, 29), 2, "2007-02-28"},  // across the year end
        {Ymd(2006, 11, 15), 3, "2007-02-15"},  // days 1..27 keep
        {Ymd(2006, 1, 28), 1, "2006-02-28"},
        {Ymd(2006, 2, 28), 1, "2006-03-31"},  // the 28th is an end-of-month date
        {Ymd(2006, 3, 31), 1, "2006-04-30"},
        {Ymd(2006, 11, 30), 1, "2006-12-31"},  // December looked up with 31 days
        {Ymd(2006, 6, 30), 6, "2006-12-31"},
        {Ymd(2006, 8, 31), 6, "2007-02-28"},
        {Ymd(2008, 2, 29), 12, "2009-02-28"},
        {Ymd(2006, 1, 27), 1, "2006-02-27"},
        {Ymd(2006, 9, 30), 4, "2007-01-31"},
        {Ymd(2006, 3, 15), -3, "2005-12-15"},
        {Ymd(2006, 3, 31), -1, "2006-02-28"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddMonths(c.from, c.months).Iso(), c.expected)
            << c.from.Iso() << " + " << c.months;
    }
}

TEST(DueDates, AddYearsCarriesAMissingDay) {
    EXPECT_EQ(AddYears(Ymd(2008, 2, 29), 1).Iso(), "2009-03-01");
    EXPECT_EQ(AddYears(Ymd(2008, 2, 29), 4).Iso(), "2012-02-29");
    EXPECT_EQ(AddYears(Ymd(2006, 1, 31), 1).Iso(), "2007-01-31");
}

TEST(DueDates, NextDueDateStepsByPeriodicity) {
    struct Case {
        std::int16_t periodsPerYear;
        const char* expected;
    };
    const Case cases[] = {{12, "2006-02-28"}, {6, "2006-03-31"}, {4, "2006-04-30"},
                          {3, "2006-05-31"},  {2, "2006-07-31"}, {1, "2007-01-31"},
                          {5, "2006-01-31"},  {0, "2006-01-31"}};
    for (const auto& c : cases) {
        EXPECT_EQ(NextDueDate(Ymd(2006, 1, 31), c.periodsPerYear).Iso(), c.expected)
            << c.periodsPerYear;
    }
}

TEST(DueDates, StepsBeyondTheYear9999AreRefused) {
    for (auto step :
         {+[] { AddMonths(Ymd(9999, 12, 1), 1); }, +[] { AddYears(Ymd(9999, 1, 1), 1); },
          +[] { NextDueDate(Ymd(9999, 7, 31), 2); }}) {
        try {
            step();
            ADD_FAILURE() << "nothing raised";
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.Number(), 5);
        }
    }
    EXPECT_EQ(AddMonths(Ymd(9999, 11, 30), 1).Iso(), "9999-12-31");
}

struct BuyoutCase {
    const char* name;
    CalendarDate buyout;
    std::int16_t count;
    std::int16_t periodsPerYear;
    PaymentTiming timing;
    BuyoutDue due;
    bool before;
};

// Contract 31/01/2006, first instalment 28/02/2006.
TEST(DueDates, BuyoutBeforeItsDueDate) {
    constexpr auto kLast = BuyoutDue::AtLastInstalment;
    constexpr auto kAfter = BuyoutDue::PeriodAfterLastInstalment;
    const BuyoutCase cases[] = {
        {"arrears, last 31/01/2007", Ymd(2007, 1, 30), 12, 12, PaymentTiming::Arrears, kLast, true},
        {"arrears, on the last day", Ymd(2007, 1, 31), 12, 12, PaymentTiming::Arrears, kLast,
         false},
        {"advance, last 31/12/2006", Ymd(2006, 12, 31), 12, 12, PaymentTiming::Advance, kLast,
         false},
        {"advance, a period after 31/12/2006", Ymd(2006, 12, 31), 12, 12, PaymentTiming::Advance,
         kAfter, true},
        {"advance, on 31/01/2007", Ymd(2007, 1, 31), 12, 12, PaymentTiming::Advance, kAfter, false},
        {"advance, one instalment: the contract day", Ymd(2006, 1, 31), 1, 12,
         PaymentTiming::Advance, kLast, false},
        {"advance, one instalment, a period after: 28/02", Ymd(2006, 2, 27), 1, 12,
         PaymentTiming::Advance, kAfter, true},
        {"quarterly, last 30/11/2008", Ymd(2008, 11, 29), 12, 4, PaymentTiming::Arrears, kLast,
         true},
        {"no instalments", Ymd(1900, 1, 1), 0, 12, PaymentTiming::Arrears, kAfter, false},
        {"last one beyond 9999", Ymd(9999, 12, 31), 9000, 1, PaymentTiming::Arrears, kLast, true}};
    for (const auto& c : cases) {
        const InstalmentCalendar calendar{Ymd(2006, 1, 31), Ymd(2006, 2, 28), c.count,
                                          c.periodsPerYear, c.timing};
        EXPECT_EQ(FallsBeforeBuyoutDue(c.buyout, calendar, c.due), c.before) << c.name;
    }
}

// An empty first date is one period after the contract date, by the plan's own stepping.
TEST(DueDates, DefaultFirstDateIsOnePeriodOn) {
    const struct {
        CalendarDate contract;
        std::int16_t periodsPerYear;
        CalendarDate first;
    } cases[] = {{Ymd(2026, 1, 15), 12, Ymd(2026, 2, 15)},
                 {Ymd(2026, 1, 31), 12, Ymd(2026, 2, 28)},
                 {Ymd(2026, 1, 31), 4, Ymd(2026, 4, 30)},
                 {Ymd(2025, 11, 10), 2, Ymd(2026, 5, 10)},
                 {Ymd(2028, 2, 29), 1, Ymd(2029, 3, 1)}};
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultFirstDate(c.contract, c.periodsPerYear), c.first)
            << c.contract.Iso() << " m=" << c.periodsPerYear;
    }
    EXPECT_THROW(DefaultFirstDate(Ymd(9999, 12, 31), 12), RunTimeError);
}

TEST(DueDates, ArrearsStartingOnTheContractDay) {
    const struct {
        const char* name;
        CalendarDate first;
        PaymentTiming timing;
        bool warned;
    } cases[] = {{"arrears, the day before", Ymd(2026, 1, 14), PaymentTiming::Arrears, true},
                 {"arrears, the same day", Ymd(2026, 1, 15), PaymentTiming::Arrears, true},
                 {"arrears, the day after", Ymd(2026, 1, 16), PaymentTiming::Arrears, false},
                 {"advance, the same day", Ymd(2026, 1, 15), PaymentTiming::Advance, false}};
    for (const auto& c : cases) {
        const InstalmentCalendar calendar{Ymd(2026, 1, 15), c.first, 12, 12, c.timing};
        EXPECT_EQ(FirstDateNotAfterContract(calendar), c.warned) << c.name;
    }
}

}  // namespace
}  // namespace quotaplan
