#include "common/calendar_date.h"

#include <gtest/gtest.h>

#include <string>

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

struct MonthsCase {
    const char* from;
    int months;
    const char* to;
};

class AddCalendarMonthsTest : public testing::TestWithParam<MonthsCase> {};

TEST_P(AddCalendarMonthsTest, SameDayOrTheMonthsLast) {
    const MonthsCase& c = GetParam();
    EXPECT_EQ(AddCalendarMonths(*CalendarDate::FromIso(c.from), c.months).Iso(), c.to);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddCalendarMonthsTest,
                         testing::Values(MonthsCase{"2007-03-31", -1, "2007-02-28"},
                                         MonthsCase{"2008-01-31", 1, "2008-02-29"},
                                         MonthsCase{"2007-01-28", 2, "2007-03-28"},
                                         MonthsCase{"2026-01-15", 0, "2026-01-15"},
                                         MonthsCase{"2026-01-15", -13, "2024-12-15"},
                                         MonthsCase{"2024-02-29", 12, "2025-02-28"}));

TEST(AddCalendarMonths, BeyondTheCalendarIsAnError) {
    try {
        AddCalendarMonths(*CalendarDate::FromIso("9999-12-01"), 1);
        FAIL();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), 5);
    }
}

TEST(CalendarDate, PartsInOneConversion) {
    const CalendarDate::Parts parts = CalendarDate::FromIso("2056-01-15")->ToParts();
    EXPECT_EQ(parts.year, 2056);
    EXPECT_EQ(parts.month, 1);
    EXPECT_EQ(parts.day, 15);
}

}  // namespace
}  // namespace quotaplan
