#include "common/data_lines.h"

#include <algorithm>
#include <charconv>

namespace quotaplan {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view Unquoted(std::string_view text) {
    text = Trimmed(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = Trimmed(text.substr(1, text.size() - 2));
    }
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<int> Number(std::string_view digits, std::size_t minLength, std::size_t maxLength) {
    if (digits.size() < minLength || digits.size() > maxLength ||
        !std::all_of(digits.begin(), digits.end(), IsDigit)) {
        return std::nullopt;
    }
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

}  // namespace

std::vector<DataLine> DataLines(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    std::vector<DataLine> lines;
    int number = 0;
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        const std::string_view line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (!line.empty()) lines.push_back({number, line});
    }
    return lines;
}

std::vector<std::string_view> SemicolonFields(std::string_view line, std::size_t fieldsWanted) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto semicolon = line.find(';', start);
        fields.push_back(Unquoted(line.substr(start, semicolon - start)));
        if (semicolon == std::string_view::npos) break;
        start = semicolon + 1;
    }
    while (fields.size() > fieldsWanted && fields.back().empty()) fields.pop_back();
    return fields;
}

std::vector<DataLine> DataLinesAfterHeader(std::string_view text) {
    std::vector<DataLine> lines = DataLines(text);
    if (!lines.empty() &&
        std::none_of(lines.front().text.begin(), lines.front().text.end(), IsDigit)) {
        lines.erase(lines.begin());
    }
    return lines;
}

std::optional<CalendarDate> ReadDataFileDate(std::string_view text) {
    const auto first = text.find('/');
    const auto second = first == std::string_view::npos ? first : text.find('/', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const auto day = Number(text.substr(0, first), 1, 2);
    const auto month = Number(text.substr(first + 1, second - first - 1), 1, 2);
    const auto year = Number(text.substr(second + 1), 4, 4);
    if (!day || !month || !year) return std::nullopt;
    return CalendarDate::FromYmd(*year, *month, *day);
}

}  // namespace quotaplan
