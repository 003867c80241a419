#include "common/date_text.h"

#include <array>
#include <charconv>

#include "common/clock.h"
#include "common/regional_settings.h"

namespace quotaplan {
namespace {

bool IsDateFieldSeparator(char c) {
    return c == '/' || c == '-' || c == '.' || c == Regional().dateSeparator;
}

}  // namespace

int ExpandTwoDigitYear(int twoDigitYear) {
    return ExpandTwoDigitYear(twoDigitYear, Today().Year());
}

int ExpandTwoDigitYear(int twoDigitYear, int currentYear) {
    // A sliding window rather than the classic fixed 1930-2029 one: a plan due in 2031,
    // written as "31", must not come back as 1931.
    const int firstYear = currentYear - Regional().twoDigitYearYearsBefore;
    int year = firstYear - ((firstYear % 100) + 100) % 100 + twoDigitYear;
    if (year < firstYear) year += 100;
    return year;
}

std::optional<CalendarDate> ReadDateText(std::string_view text) {
    return ReadDateText(text, Today());
}

std::optional<CalendarDate> ReadDateText(std::string_view text, CalendarDate today) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);

    std::array<std::string_view, 3> fields;
    std::size_t count = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] >= '0' && text[i] <= '9') continue;
        if (i < text.size() && !IsDateFieldSeparator(text[i])) return std::nullopt;
        if (i == start || count == fields.size()) return std::nullopt;
        fields[count++] = text.substr(start, i - start);
        start = i + 1;
    }
    if (count != 3) return std::nullopt;

    const auto numberOf = [](std::string_view field) {
        int value = 0;
        std::from_chars(field.data(), field.data() + field.size(), value);
        return value;
    };
    std::string_view dayField;
    std::string_view monthField;
    std::string_view yearField;
    if (fields[0].size() == 4 || Regional().dateOrder == DateOrder::YearMonthDay) {
        yearField = fields[0];
        monthField = fields[1];
        dayField = fields[2];
    } else if (Regional().dateOrder == DateOrder::MonthDayYear) {
        monthField = fields[0];
        dayField = fields[1];
        yearField = fields[2];
    } else {
        dayField = fields[0];
        monthField = fields[1];
        yearField = fields[2];
    }
    if (dayField.size() > 2 || monthField.size() > 2) return std::nullopt;
    int year = 0;
    if (yearField.size() <= 2) {
        year = ExpandTwoDigitYear(numberOf(yearField), today.Year());
    } else if (yearField.size() == 4) {
        year = numberOf(yearField);
    } else {
        return std::nullopt;
    }
    return CalendarDate::FromYmd(year, numberOf(monthField), numberOf(dayField));
}

bool IsDateText(std::string_view text) { return ReadDateText(text).has_value(); }

}  // namespace quotaplan
