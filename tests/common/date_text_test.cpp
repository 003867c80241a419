#include "common/date_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/calendar_date.h"
#include "common/clock.h"
#include "common/number_text.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

struct DateReadCase {
    const char* name;
    const char* text;
    const char* expectedIso;  // nullptr: not a date
};

class DateTextReading : public testing::TestWithParam<DateReadCase> {};

TEST_P(DateTextReading, ItalianOrderWithSlidingWindow) {
    const ScopedToday today(Ymd(2026, 6, 15));
    const DateReadCase& c = GetParam();
    const std::optional<CalendarDate> date = ReadDateText(c.text);
    EXPECT_EQ(IsDateText(c.text), c.expectedIso != nullptr);
    if (c.expectedIso) {
        ASSERT_TRUE(date.has_value());
        EXPECT_EQ(date->Iso(), c.expectedIso);
    } else {
        EXPECT_FALSE(date.has_value()) << date->Iso();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateTextReading,
    testing::Values(DateReadCase{"ShortYear", "05/12/06", "2006-12-05"},
                    DateReadCase{"LongYear", "05/12/2006", "2006-12-05"},
                    DateReadCase{"NoLeadingZeros", "5/2/07", "2007-02-05"},
                    // The classic 1930-2029 window would give 1931 and 1945 here.
                    DateReadCase{"DueIn2031", "15/03/31", "2031-03-15"},
                    DateReadCase{"DueIn2045", "15/03/45", "2045-03-15"},
                    DateReadCase{"WindowLastYear", "31/12/75", "2075-12-31"},
                    DateReadCase{"WindowFirstYear", "01/01/76", "1976-01-01"},
                    DateReadCase{"PastContract", "01/01/99", "1999-01-01"},
                    DateReadCase{"Dashes", "5-12-2006", "2006-12-05"},
                    DateReadCase{"Dots", "05.12.06", "2006-12-05"},
                    DateReadCase{"Blanks", " 05/12/2006 ", "2006-12-05"},
                    DateReadCase{"IsoForm", "2006-12-05", "2006-12-05"},
                    DateReadCase{"LeapDay", "29/02/2008", "2008-02-29"},
                    DateReadCase{"NoThirtyFirstFebruary", "31/02/2007", nullptr},
                    DateReadCase{"NoLeapDay", "29/02/2007", nullptr},
                    DateReadCase{"MonthThirteen", "01/13/2007", nullptr},
                    DateReadCase{"DayZero", "00/12/2007", nullptr},
                    DateReadCase{"YearZero", "01/01/0000", nullptr},
                    DateReadCase{"ThreeDigitYear", "05/12/006", nullptr},
                    DateReadCase{"LongDay", "005/12/2006", nullptr},
                    DateReadCase{"TwoFields", "05/12", nullptr},
                    DateReadCase{"FourFields", "05/12/20/06", nullptr},
                    DateReadCase{"EmptyField", "05//2006", nullptr},
                    DateReadCase{"Letters", "05/dic/2006", nullptr},
                    DateReadCase{"Empty", "", nullptr}, DateReadCase{"Number", "1234,56", nullptr}),
    [](const testing::TestParamInfo<DateReadCase>& info) { return info.param.name; });

TEST(TwoDigitYearWindow, SlidesWithToday) {
    {
        const ScopedToday today(Ymd(2026, 1, 1));
        EXPECT_EQ(ExpandTwoDigitYear(76), 1976);
        EXPECT_EQ(ExpandTwoDigitYear(75), 2075);
        EXPECT_EQ(ExpandTwoDigitYear(0), 2000);
    }
    {
        const ScopedToday today(Ymd(2080, 1, 1));
        EXPECT_EQ(ExpandTwoDigitYear(30), 2030);
        EXPECT_EQ(ExpandTwoDigitYear(29), 2129);
        EXPECT_EQ(ExpandTwoDigitYear(0), 2100);
    }
}

// Every date a plan written today can hold survives the "dd/mm/yy" text it is shown in.
TEST(TwoDigitYearWindow, PlanDatesSurviveShortText) {
    const ScopedToday today(Ymd(2026, 6, 15));
    for (int year = 1977; year <= 2075; ++year) {
        const CalendarDate due = Ymd(year, 3, 15);
        const std::string text = FormatDate(due, 1);
        EXPECT_EQ(ReadDateText(text), due) << text;
    }
}

struct DateFormatCase {
    const char* name;
    int code;
    const char* expected;
};

class FormatDateCodes : public testing::TestWithParam<DateFormatCase> {};

TEST_P(FormatDateCodes, FifthOfDecember2006) {
    const CalendarDate date = Ymd(2006, 12, 5);
    EXPECT_EQ(FormatDate(date, GetParam().code), GetParam().expected);
    EXPECT_EQ(FormatDate(std::string_view("5/12/2006"), GetParam().code), GetParam().expected);
    // A date serial under a date pattern is the same date.
    if (!DatePattern(GetParam().code).empty()) {
        EXPECT_EQ(FormatValue(static_cast<double>(date.Serial()), DatePattern(GetParam().code)),
                  GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FormatDateCodes,
                         testing::Values(DateFormatCase{"ShortYear", 1, "05/12/06"},
                                         DateFormatCase{"LongYear", 2, "05/12/2006"},
                                         DateFormatCase{"NoSeparators", 3, "051206"},
                                         DateFormatCase{"SqlLiteral", 4, "12/5/2006"},
                                         DateFormatCase{"UnknownCode", 9, "05/12/2006"}),
                         [](const testing::TestParamInfo<DateFormatCase>& info) {
                             return info.param.name;
                         });

TEST(FormatDate, SingleDigitsAndYears) {
    EXPECT_EQ(FormatDate(Ymd(2031, 3, 1), 1), "01/03/31");
    EXPECT_EQ(FormatDate(Ymd(2031, 3, 1), 4), "3/1/2031");
    EXPECT_EQ(FormatDate(Ymd(1905, 7, 9), 1), "09/07/05");
    EXPECT_EQ(FormatDate(CalendarDate(), 2), "30/12/1899");
}

TEST(FormatDate, UnreadableTextKept) {
    EXPECT_EQ(FormatDate(std::string_view("31/02/2007"), 1), "31/02/2007");
    EXPECT_EQ(FormatDate(std::string_view("domani"), 1), "domani");
    EXPECT_EQ(FormatDate(std::string_view(""), 1), "");
}

TEST(FormatValue, DateAndNumberCrossOver) {
    const CalendarDate date = Ymd(2006, 12, 5);
    EXPECT_EQ(FormatValue(date, "0"), std::to_string(date.Serial()));
    EXPECT_EQ(FormatValue(date.Serial() + 0.75, "dd/mm/yyyy"), "05/12/2006");
    // Far outside the calendar a number stays a number.
    EXPECT_EQ(FormatValue(1e12, "dd/mm/yy"), "1000000000000");
}

}  // namespace
}  // namespace quotaplan
