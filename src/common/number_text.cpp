#include "common/number_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "common/date_text.h"
#include "common/regional_settings.h"
#include "common/run_time_error.h"

namespace quotaplan {
namespace {

// A finite number as decimal digits: value = d0.d1d2... x 10^exponent. Leading digit nonzero
// unless the value is zero.
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// Splits the "d.ddde+XX" text of std::to_chars (always the "C" form, whatever the process
// locale, which Qt sets from the environment).
DecimalDigits FromScientific(std::string_view text) {
    DecimalDigits result;
    if (!text.empty() && text.front() == '-') {
        result.negative = true;
        text.remove_prefix(1);
    }
    const std::size_t e = text.find('e');
    result.digits.reserve(e);
    for (char c : text.substr(0, e)) {
        if (c != '.') result.digits.push_back(c);
    }
    std::string_view exponentText = text.substr(e + 1);
    if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(),
                    result.exponent);
    return result;
}

// The value's decimal form with `significant` digits (rounded half-to-even on the exact
// binary value, which is what every correctly rounded conversion does).
template <typename Number>
DecimalDigits ToDecimal(Number value, int significant) {
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::scientific, significant - 1)
                         .ptr;
    return FromScientific(std::string_view(buffer.data(), end - buffer.data()));
}

// The shortest decimal form that reads back as the same value.
template <typename Number>
DecimalDigits ToShortestDecimal(Number value) {
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::scientific)
                         .ptr;
    return FromScientific(std::string_view(buffer.data(), end - buffer.data()));
}

void DropTrailingZeros(std::string& digits) {
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

bool IsAllZeros(std::string_view digits) {
    return digits.find_first_not_of('0') == std::string_view::npos;
}

// Lays the digits out positionally, no exponent, no grouping, regional decimal separator.
std::string PlainText(DecimalDigits number) {
    DropTrailingZeros(number.digits);
    if (IsAllZeros(number.digits)) return "0";
    std::string integerPart;
    std::string fraction;
    if (number.exponent >= 0) {
        const std::size_t integerLength = static_cast<std::size_t>(number.exponent) + 1;
        integerPart = number.digits.substr(0, integerLength);
        integerPart.resize(integerLength, '0');
        if (number.digits.size() > integerLength) fraction = number.digits.substr(integerLength);
    } else {
        integerPart = "0";
        fraction = std::string(static_cast<std::size_t>(-number.exponent - 1), '0') + number.digits;
    }
    std::string text = number.negative ? "-" : "";
    text += integerPart;
    if (!fraction.empty()) text += Regional().decimalSeparator + fraction;
    return text;
}

std::string NonFiniteText(double value) {
    if (std::isnan(value)) return "NaN";
    return value < 0 ? "-Inf" : "Inf";
}

// ---- number patterns -------------------------------------------------------------------

struct NumberLayout {
    std::string prefix;
    std::string suffix;
    bool hasDigits = false;
    int minimumIntegerDigits = 0;
    bool grouping = false;
    bool decimalPoint = false;
    int requiredDecimals = 0;
    int optionalDecimals = 0;
    bool percent = false;
};

bool IsDigitPlace(char c) { return c == '0' || c == '#'; }

NumberLayout ReadNumberPattern(std::string_view pattern) {
    NumberLayout layout;
    std::size_t first = 0;
    while (first < pattern.size() && !IsDigitPlace(pattern[first]) && pattern[first] != '.') {
        ++first;
    }
    if (first == pattern.size()) {
        layout.prefix = std::string(pattern);
        layout.percent = pattern.find('%') != std::string_view::npos;
        return layout;
    }
    std::size_t last = pattern.size() - 1;
    while (!IsDigitPlace(pattern[last]) && pattern[last] != '.' && pattern[last] != ',') --last;
    layout.prefix = std::string(pattern.substr(0, first));
    layout.suffix = std::string(pattern.substr(last + 1));
    layout.percent = pattern.find('%') != std::string_view::npos;
    bool inFraction = false;
    bool digitSeen = false;
    for (char c : pattern.substr(first, last - first + 1)) {
        if (c == '.' && !inFraction) {
            inFraction = true;
            layout.decimalPoint = true;
        } else if (IsDigitPlace(c)) {
            layout.hasDigits = true;
            if (inFraction) {
                (c == '0' && layout.optionalDecimals == 0 ? layout.requiredDecimals
                                                          : layout.optionalDecimals)++;
            } else {
                if (c == '0') ++layout.minimumIntegerDigits;
                digitSeen = true;
            }
        } else if (c == ',' && !inFraction && digitSeen) {
            layout.grouping = true;
        }
    }
    return layout;
}

// Rounds to `decimals` places, halves away from zero on the digits given, and returns the
// integer digits (leading zeros removed, possibly empty) and exactly `decimals` fraction
// digits.
std::pair<std::string, std::string> RoundToPlaces(const DecimalDigits& number, int decimals) {
    const int highestWeight = std::max(number.exponent, 0);
    const auto digitAt = [&](int weight) {
        const long index = static_cast<long>(number.exponent) - weight;
        return index >= 0 && index < static_cast<long>(number.digits.size())
                   ? number.digits[static_cast<std::size_t>(index)]
                   : '0';
    };
    std::string places;
    places.reserve(static_cast<std::size_t>(highestWeight + decimals + 2));
    for (int weight = highestWeight; weight >= -decimals; --weight) places += digitAt(weight);
    if (digitAt(-decimals - 1) >= '5') {
        std::size_t position = places.size();
        while (position > 0 && places[position - 1] == '9') places[--position] = '0';
        if (position == 0) {
            places.insert(places.begin(), '1');
        } else {
            ++places[position - 1];
        }
    }
    const std::size_t integerLength = places.size() - static_cast<std::size_t>(decimals);
    std::string integerPart = places.substr(0, integerLength);
    integerPart.erase(0, integerPart.find_first_not_of('0'));
    if (integerPart.find_first_not_of('0') == std::string::npos) integerPart.clear();
    return {integerPart, places.substr(integerLength)};
}

std::string GroupThousands(const std::string& integerPart) {
    std::string grouped;
    const std::size_t length = integerPart.size();
    grouped.reserve(length + length / 3);
    for (std::size_t i = 0; i < length; ++i) {
        if (i > 0 && (length - i) % 3 == 0) grouped += Regional().groupSeparator;
        grouped += integerPart[i];
    }
    return grouped;
}

std::string FormatNumberPattern(double value, std::string_view pattern) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    const NumberLayout layout = ReadNumberPattern(pattern);
    if (!layout.hasDigits) return layout.prefix + layout.suffix;

    DecimalDigits number = ToDecimal(value, 15);
    // The percent scaling shifts the decimal form, so it adds no binary rounding of its own.
    if (layout.percent && !IsAllZeros(number.digits)) number.exponent += 2;
    auto [integerPart, fraction] =
        RoundToPlaces(number, layout.requiredDecimals + layout.optionalDecimals);
    while (static_cast<int>(fraction.size()) > layout.requiredDecimals && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (static_cast<int>(integerPart.size()) < layout.minimumIntegerDigits) {
        integerPart.insert(0, layout.minimumIntegerDigits - integerPart.size(), '0');
    }
    if (layout.grouping) integerPart = GroupThousands(integerPart);

    // A value that rounds to zero is shown without a sign: a residual debt of -0.001 is 0,00.
    const bool showMinus =
        number.negative && !(IsAllZeros(integerPart.empty() ? "0" : integerPart) &&
                             IsAllZeros(fraction.empty() ? "0" : fraction));
    std::string text;
    text.reserve(integerPart.size() + fraction.size() + layout.prefix.size() +
                 layout.suffix.size() + 2);
    if (showMinus) text.push_back('-');
    text += layout.prefix;
    text += integerPart;
    if (layout.decimalPoint && !fraction.empty()) {
        text.push_back(Regional().decimalSeparator);
        text += fraction;
    }
    text += layout.suffix;
    return text;
}

// ---- date patterns ---------------------------------------------------------------------

bool IsDatePattern(std::string_view pattern) {
    for (char c : pattern) {
        const char lower = static_cast<char>(c | 0x20);
        if (lower == 'd' || lower == 'm' || lower == 'y') return true;
    }
    return false;
}

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

std::size_t RunLength(std::string_view pattern, std::size_t start) {
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[start])));
    std::size_t end = start;
    while (end < pattern.size() &&
           std::tolower(static_cast<unsigned char>(pattern[end])) == letter) {
        ++end;
    }
    return end - start;
}

std::string FormatDatePattern(CalendarDate date, std::string_view pattern) {
    std::string text;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
        const std::size_t run = RunLength(pattern, i);
        if (c == 'd') {
            text += run >= 2 ? TwoDigits(date.Day()) : std::to_string(date.Day());
            i += std::min<std::size_t>(run, 2);
        } else if (c == 'm') {
            text += run >= 2 ? TwoDigits(date.Month()) : std::to_string(date.Month());
            i += std::min<std::size_t>(run, 2);
        } else if (c == 'y' && run >= 4) {
            std::string year = std::to_string(date.Year());
            text += std::string(year.size() < 4 ? 4 - year.size() : 0, '0') + year;
            i += 4;
        } else if (c == 'y' && run >= 2) {
            text += TwoDigits(date.Year() % 100);
            i += 2;
        } else if (c == 'y') {
            // A single "y" is the day of the year.
            const auto newYear = CalendarDate::FromYmd(date.Year(), 1, 1);
            text += std::to_string(date - *newYear + 1);
            i += 1;
        } else if (c == '/') {
            text += Regional().dateSeparator;
            ++i;
        } else {
            text += pattern[i];
            ++i;
        }
    }
    return text;
}

std::string GeneralDateText(CalendarDate date) { return FormatDatePattern(date, "dd/mm/yyyy"); }

// ---- reading number texts --------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Splits a number text with the given separators; group 0 allows no grouping.
std::optional<NumberParts> SplitWithSeparators(std::string_view text, char decimal, char group) {
    text = TrimBlanks(text);
    NumberParts parts;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        parts.negative = text[i] == '-';
        ++i;
    }
    // Group separators may stand anywhere in the integer part once a digit has been seen.
    while (i < text.size() &&
           (IsDigit(text[i]) || (group != 0 && text[i] == group && !parts.integerDigits.empty()))) {
        if (IsDigit(text[i])) parts.integerDigits += text[i];
        ++i;
    }
    if (i < text.size() && text[i] == decimal) {
        ++i;
        while (i < text.size() && IsDigit(text[i])) parts.fractionDigits += text[i++];
    }
    if (i != text.size()) return std::nullopt;
    if (parts.integerDigits.empty() && parts.fractionDigits.empty()) return std::nullopt;
    return parts;
}

enum class ReadOutcome { Ok, Overflow };

// Converts the digits with one correct rounding to Number. Beyond the range is an overflow;
// below the smallest magnitude the value is 0.
template <typename Number>
ReadOutcome DigitsToNumber(const NumberParts& parts, Number& value) {
    std::string plain = parts.integerDigits.empty() ? "0" : parts.integerDigits;
    if (!parts.fractionDigits.empty()) plain += "." + parts.fractionDigits;
    Number magnitude{};
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), magnitude,
                                              std::chars_format::fixed);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        if (!IsAllZeros(parts.integerDigits.empty() ? "0" : parts.integerDigits)) {
            return ReadOutcome::Overflow;
        }
        magnitude = 0;
    }
    value = magnitude == 0 ? Number{0} : (parts.negative ? -magnitude : magnitude);
    return ReadOutcome::Ok;
}

}  // namespace

// ---- formatting ------------------------------------------------------------------------

double RoundAsShown(double value, int decimals) {
    if (!std::isfinite(value) || decimals < 0 || decimals > 15) return value;
    static constexpr std::array<double, 16> kPowers = {
        1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double power = kPowers[static_cast<std::size_t>(decimals)];
    // The short road, taken unless the value lies next to a half of the last place: the
    // 15-digit form differs from the value by under 5e-15 of it and the scaling by one
    // rounding, so a scaled value farther than 1e-14 of itself from a half rounds to the
    // same whole number either way, and that number over the power is what the digits read
    // as. Plan amounts nearly always take it; the digits decide the rest.
    const double scaled = std::fabs(value) * power;
    if (scaled < 1e14) {
        const double whole = std::floor(scaled);
        if (std::fabs(scaled - whole - 0.5) > 1e-14 * scaled) {
            const double rounded = scaled - whole > 0.5 ? whole + 1 : whole;
            const double magnitude = rounded / power;
            return value < 0 && magnitude != 0 ? -magnitude : magnitude;
        }
    }
    const DecimalDigits number = ToDecimal(value, 15);
    const auto [integerPart, fraction] = RoundToPlaces(number, decimals);
    const std::string digits = integerPart + fraction;
    double magnitude = 0;
    if (digits.size() <= 15) {
        // Below 2^53 the scaled digits are exact, and one correctly rounded division gives
        // the nearest number to the decimal text, as reading it would.
        std::int64_t scaled = 0;
        for (const char digit : digits) scaled = scaled * 10 + (digit - '0');
        magnitude = static_cast<double>(scaled) / power;
    } else {
        const std::string text = (integerPart.empty() ? "0" : integerPart) + "." + fraction;
        std::from_chars(text.data(), text.data() + text.size(), magnitude);
    }
    return number.negative && magnitude != 0 ? -magnitude : magnitude;
}

std::string FormatValue(double value, std::string_view pattern) {
    if (pattern.empty()) return GeneralText(value);
    if (!IsDatePattern(pattern)) return FormatNumberPattern(value, pattern);
    // A number under a date pattern is a date serial; the time of day is not shown.
    static const double firstSerial = CalendarDate::FromYmd(100, 1, 1)->Serial();
    static const double lastSerial = CalendarDate::FromYmd(9999, 12, 31)->Serial();
    if (!std::isfinite(value) || value < firstSerial || value >= lastSerial + 1) {
        return GeneralText(value);
    }
    return FormatDatePattern(CalendarDate::FromSerial(static_cast<std::int32_t>(std::trunc(value))),
                             pattern);
}

std::string FormatValue(CalendarDate date, std::string_view pattern) {
    if (pattern.empty()) return GeneralDateText(date);
    if (!IsDatePattern(pattern)) return FormatNumberPattern(date.Serial(), pattern);
    return FormatDatePattern(date, pattern);
}

std::string FormatValue(std::string_view text, std::string_view pattern) {
    if (IsDatePattern(pattern)) {
        const std::optional<CalendarDate> date = ReadDateText(text);
        return date ? FormatDatePattern(*date, pattern) : std::string(text);
    }
    const std::optional<double> value = TryParseNumber(text);
    return value ? FormatValue(*value, pattern) : std::string(text);
}

std::string_view NumberPattern(int code) {
    switch (code) {
        case 1:
            return "#,##0.00";
        case 2:
            return "0.00";
        case 3:
            return "0";
        case 4:
            return "00000";
        case 5:
            return "#";
        default:
            return "";
    }
}

std::string FormatNumber(double value, int code) { return FormatValue(value, NumberPattern(code)); }

std::string FormatNumber(std::string_view text, int code) {
    return FormatValue(text, NumberPattern(code));
}

std::string_view DatePattern(int code) {
    switch (code) {
        case 1:
            return "dd/mm/yy";
        case 2:
            return "dd/mm/yyyy";
        case 3:
            return "ddmmyy";
        case 4:
            return "m/d/yyyy";
        default:
            return "";
    }
}

std::string FormatDate(CalendarDate date, int code) { return FormatValue(date, DatePattern(code)); }

std::string FormatDate(std::string_view text, int code) {
    const std::string_view pattern = DatePattern(code);
    if (pattern.empty()) {
        const std::optional<CalendarDate> date = ReadDateText(text);
        return date ? GeneralDateText(*date) : std::string(text);
    }
    return FormatValue(text, pattern);
}

std::string GeneralText(float value) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    DecimalDigits shortest = ToShortestDecimal(value);
    if (shortest.digits.size() <= 7) return PlainText(shortest);
    return PlainText(ToDecimal(value, 7));
}

std::string GeneralText(double value) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    return PlainText(ToDecimal(value, 15));
}

// ---- reading ---------------------------------------------------------------------------

std::optional<NumberParts> SplitNumberText(std::string_view text) {
    return SplitWithSeparators(text, Regional().decimalSeparator, Regional().groupSeparator);
}

std::optional<NumberParts> SplitPlainNumberText(std::string_view text) {
    return SplitWithSeparators(text, '.', 0);
}

bool IsNumberText(std::string_view text) { return SplitNumberText(text).has_value(); }

std::optional<double> TryParseNumber(std::string_view text) {
    const std::optional<NumberParts> parts = SplitNumberText(text);
    double value = 0;
    if (!parts || DigitsToNumber(*parts, value) != ReadOutcome::Ok) return std::nullopt;
    return value;
}

double ParseNumber64(std::string_view text) {
    const std::optional<NumberParts> parts = SplitNumberText(text);
    if (!parts) throw RunTimeError::TypeMismatch();
    double value = 0;
    if (DigitsToNumber(*parts, value) != ReadOutcome::Ok) throw RunTimeError::Overflow();
    return value;
}

float ParseNumber32(std::string_view text) {
    const std::optional<NumberParts> parts = SplitNumberText(text);
    if (!parts) throw RunTimeError::TypeMismatch();
    // Read straight to 32 bits: going through 64 bits first could round twice.
    float value = 0;
    if (DigitsToNumber(*parts, value) != ReadOutcome::Ok) throw RunTimeError::Overflow();
    return value;
}

std::int16_t ParseInteger16(std::string_view text) {
    const double value = ParseNumber64(text);
    // The classic integer conversion rounds halves to even: 2,5 -> 2, 3,5 -> 4.
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0) throw RunTimeError::Overflow();
    return static_cast<std::int16_t>(rounded);
}

double LeadingNumber(std::string_view text) {
    const auto isSkipped = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    std::size_t i = 0;
    while (i < text.size() && isSkipped(text[i])) ++i;
    NumberParts parts;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        parts.negative = text[i] == '-';
        ++i;
    }
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isSkipped(c)) continue;
        if (IsDigit(c)) {
            (inFraction ? parts.fractionDigits : parts.integerDigits) += c;
        } else if (c == '.' && !inFraction) {
            inFraction = true;
        } else {
            break;
        }
    }
    if (parts.integerDigits.empty() && parts.fractionDigits.empty()) return 0;
    double value = 0;
    if (DigitsToNumber(parts, value) != ReadOutcome::Ok) throw RunTimeError::Overflow();
    return value;
}

}  // namespace quotaplan
