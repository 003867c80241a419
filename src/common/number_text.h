#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/calendar_date.h"

namespace quotaplan {

// Formats a value with a display pattern, in the regional conventions.
// Number patterns: "0" a digit always shown, "#" a digit left out when it is a leading zero,
// "," between digit places groups the integer part by thousands, "." the decimal separator,
// "%" multiplies by 100 and shows "%"; any other character is copied as it stands.
// Date patterns (any pattern holding d, m or y): "dd", "d", "mm", "m", "yy", "yyyy" and "/"
// (the regional date separator).
// Numbers are rounded to the pattern's last decimal place, halves away from zero, on their
// 15-significant-digit decimal form; a negative number gets a leading "-" (not when it
// rounds to zero). An empty pattern gives the general form (GeneralText, or the date as
// "dd/mm/yyyy"). A number with a date pattern is a date serial; a date with a number
// pattern shows its serial.
std::string FormatValue(double value, std::string_view pattern);
std::string FormatValue(CalendarDate date, std::string_view pattern);
// The text is read as a number (ParseNumber64) for number patterns and the empty pattern, as
// a date (ReadDateText) for date patterns; a text that cannot be read comes back unchanged.
std::string FormatValue(std::string_view text, std::string_view pattern);

// The number a value shows as with `decimals` fixed places (0..15): rounded as FormatValue
// rounds (halves away from zero on the 15-significant-digit form, no "-" on a zero), then
// read back as the nearest 64-bit number, exactly as a reader of that text gets it.
// 2.345 gives 2.35, -0.004 gives 0. Infinities and NaN come back unchanged.
double RoundAsShown(double value, int decimals);

// Number codes: 1 "#,##0.00" (amounts), 2 "0.00" (rates), 3 "0", 4 "00000", 5 "#";
// any other code the empty pattern.
std::string_view NumberPattern(int code);
std::string FormatNumber(double value, int code);
std::string FormatNumber(std::string_view text, int code);

// Date codes: 1 "dd/mm/yy", 2 "dd/mm/yyyy", 3 "ddmmyy", 4 "m/d/yyyy"; any other code the
// empty pattern.
std::string_view DatePattern(int code);
std::string FormatDate(CalendarDate date, int code);
std::string FormatDate(std::string_view text, int code);

// True when the text, surrounding blanks ignored, is a number in the regional form: an
// optional sign, digits that may carry group separators in the integer part, at most one
// decimal separator, and at least one digit ("1.234,56", "1234,56", "1.234", "-5", ",5").
// The empty text is not a number.
bool IsNumberText(std::string_view text);

// A number text split into its parts, separators dropped: the exact readers of money and
// rates start from these digits rather than from a binary number.
struct NumberParts {
    bool negative = false;
    std::string integerDigits;
    std::string fractionDigits;
};

// The parts of a regional number text as IsNumberText accepts it; nullopt otherwise.
std::optional<NumberParts> SplitNumberText(std::string_view text);

// The parts of a plain number text, the calculator's and the data files' form: optional
// sign, digits, "." and digits, no grouping ("-600", "1234.56", ".5"); surrounding blanks
// ignored. nullopt otherwise.
std::optional<NumberParts> SplitPlainNumberText(std::string_view text);

// Reads a number text (IsNumberText): group separators dropped, the decimal separator marks
// the fraction. Returns nullopt when the text is not a number or is beyond the 64-bit range.
std::optional<double> TryParseNumber(std::string_view text);

// Reads a number text in 64 bits. Throws RunTimeError 13 when the text is not a number,
// 6 when it is beyond the 64-bit range.
double ParseNumber64(std::string_view text);

// Reads a number text and rounds it to 32 bits. Throws RunTimeError 13 when the text is not
// a number, 6 when the value is beyond the 32-bit range.
float ParseNumber32(std::string_view text);

// Reads a number text as a 16-bit integer, rounding halves to the even neighbour
// ("2,5" -> 2, "3,5" -> 4). Throws RunTimeError 13 when the text is not a number, 6 when the
// rounded value lies outside -32768..32767.
std::int16_t ParseInteger16(std::string_view text);

// The longest leading number of the text with "." as the decimal mark whatever the regional
// settings: blanks skipped, optional sign, digits, "." and digits; reading stops at the first
// other character. "12,50" -> 12, "1.234,56" -> 1.234, "" -> 0, "abc" -> 0.
// Throws RunTimeError 6 when the digits read are beyond the 64-bit range.
double LeadingNumber(std::string_view text);

// The general text form of a 32-bit number: regional decimal separator, no grouping, no
// exponent, the shortest digits that read back as the same float when there are at most
// seven of them, otherwise seven significant digits (trailing zeros removed).
std::string GeneralText(float value);
// The same for a 64-bit number with up to 15 significant digits.
std::string GeneralText(double value);

}  // namespace quotaplan
