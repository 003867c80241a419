#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "common/number_text.h"

namespace quotaplan {
namespace {

struct FormatCase {
    const char* name;
    double value;
    const char* pattern;
    const char* expected;
};

class FormatValueNumber : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatValueNumber, RendersItalianText) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatValue(c.value, c.pattern), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatValueNumber,
    testing::Values(FormatCase{"AmountWithHalf", 1234.5, "#,##0.00", "1.234,50"},
                    FormatCase{"AmountZero", 0, "#,##0.00", "0,00"},
                    FormatCase{"AmountMillions", 1234567.891, "#,##0.00", "1.234.567,89"},
                    FormatCase{"AmountBelowOne", 0.5, "#,##0.00", "0,50"},
                    FormatCase{"AmountNegative", -1234.5, "#,##0.00", "-1.234,50"},
                    FormatCase{"AmountCarriesIntoNewGroup", 999999.995, "#,##0.00", "1.000.000,00"},
                    FormatCase{"AmountThreeDigitsNoSeparator", 999.5, "#,##0.00", "999,50"},
                    FormatCase{"AmountBeyondFloatDigits", 123456789012.345, "#,##0.00",
                               "123.456.789.012,35"},
                    FormatCase{"AmountHuge", 1e20, "#,##0.00", "100.000.000.000.000.000.000,00"},
                    FormatCase{"RateHalfAwayFromZero", 5.125, "0.00", "5,13"},
                    FormatCase{"RateNegativeHalfAwayFromZero", -5.125, "0.00", "-5,13"},
                    // 2.345 as a float is 2.34500002861023 in 15 digits, 2.345 as a double 2.345
                    // exactly: both show 2,35.
                    FormatCase{"FloatHalfShowsUp", 2.345f, "0.00", "2,35"},
                    FormatCase{"DoubleHalfShowsUp", 2.345, "0.00", "2,35"},
                    // 1.005 is 1.00499999999999989 in binary, but its 15-digit form is 1.005.
                    FormatCase{"HalfOnFifteenDigitForm", 1.005, "0.00", "1,01"},
                    FormatCase{"TinyNegativeShowsNoSign", -0.001, "#,##0.00", "0,00"},
                    FormatCase{"NegativeHalfCentShowsSign", -0.005, "0.00", "-0,01"},
                    FormatCase{"IntegerRoundsUp", 12.5, "0", "13"},
                    FormatCase{"IntegerNegativeRoundsAway", -2.5, "0", "-3"},
                    FormatCase{"FiveDigitsErrorNumber", 7, "00000", "00007"},
                    FormatCase{"FiveDigitsWider", 123456, "00000", "123456"},
                    FormatCase{"HashDropsZero", 0, "#", ""},
                    FormatCase{"HashRoundsUp", 0.5, "#", "1"},
                    FormatCase{"HashInteger", 1234, "#", "1234"},
                    FormatCase{"PercentScales", 0.0525, "0.00%", "5,25%"},
                    FormatCase{"PercentRoundsOnDecimalForm", 0.123455, "0.00%", "12,35%"},
                    FormatCase{"OptionalDecimalsTrimmed", 1.5, "0.##", "1,5"},
                    FormatCase{"OptionalDecimalsAllZero", 2, "0.##", "2"},
                    FormatCase{"LiteralsKept", 3.5, "0.0 EUR", "3,5 EUR"},
                    FormatCase{"EmptyPatternGeneral", 1234.5, "", "1234,5"},
                    FormatCase{"EmptyPatternFifteenDigits", 1.0 / 3, "", "0,333333333333333"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST(FormatNumber, CodesSelectTheirPatterns) {
    const double value = 1234.5678;
    EXPECT_EQ(FormatNumber(value, 1), "1.234,57");
    EXPECT_EQ(FormatNumber(value, 2), "1234,57");
    EXPECT_EQ(FormatNumber(value, 3), "1235");
    EXPECT_EQ(FormatNumber(value, 4), "01235");
    EXPECT_EQ(FormatNumber(value, 5), "1235");
    EXPECT_EQ(FormatNumber(value, 0), "1234,5678");
    EXPECT_EQ(FormatNumber(value, 6), "1234,5678");
}

struct TextFormatCase {
    const char* name;
    const char* text;
    int code;
    const char* expected;
};

class FormatNumberText : public testing::TestWithParam<TextFormatCase> {};

TEST_P(FormatNumberText, ReadsThenFormatsOrPassesThrough) {
    const TextFormatCase& c = GetParam();
    EXPECT_EQ(FormatNumber(std::string_view(c.text), c.code), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatNumberText,
    testing::Values(TextFormatCase{"GroupedAmount", "1.234,5", 1, "1.234,50"},
                    TextFormatCase{"PlainAmount", "1234567,891", 1, "1.234.567,89"},
                    TextFormatCase{"Rate", "5,125", 2, "5,13"},
                    TextFormatCase{"NegativeWithBlanks", " -7 ", 4, "-00007"},
                    TextFormatCase{"GarbageKept", "12abc", 1, "12abc"},
                    TextFormatCase{"EmptyKept", "", 1, ""},
                    TextFormatCase{"PointDecimalIsGrouping", "1.5", 1, "15,00"},
                    TextFormatCase{"GeneralForm", "1.234,50", 0, "1234,5"}),
    [](const testing::TestParamInfo<TextFormatCase>& info) { return info.param.name; });

struct GeneralFloatCase {
    const char* name;
    float value;
    const char* expected;
};

class GeneralTextFloat : public testing::TestWithParam<GeneralFloatCase> {};

TEST_P(GeneralTextFloat, SevenSignificantDigitsAtMost) {
    EXPECT_EQ(GeneralText(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GeneralTextFloat,
    testing::Values(
        GeneralFloatCase{"Simple", 7.5f, "7,5"}, GeneralFloatCase{"ShortestForm", 0.1f, "0,1"},
        GeneralFloatCase{"Integer", 100.0f, "100"}, GeneralFloatCase{"Negative", -2.25f, "-2,25"},
        GeneralFloatCase{"Zero", 0.0f, "0"}, GeneralFloatCase{"NegativeZero", -0.0f, "0"},
        GeneralFloatCase{"Third", 1.0f / 3.0f, "0,3333333"},
        GeneralFloatCase{"RateDifference", 7.5f - 1.2f, "6,3"},
        GeneralFloatCase{"LargeNoExponent", 12345678.0f, "12345680"},
        GeneralFloatCase{"SmallNoExponent", 0.00001f, "0,00001"},
        GeneralFloatCase{"SmallSevenDigits", 1.0f / 3e6f, "0,0000003333333"},
        GeneralFloatCase{"NoGrouping", 1234567.0f, "1234567"}),
    [](const testing::TestParamInfo<GeneralFloatCase>& info) { return info.param.name; });

TEST(GeneralTextDouble, FifteenSignificantDigits) {
    EXPECT_EQ(GeneralText(0.1 + 0.2), "0,3");
    EXPECT_EQ(GeneralText(1.0 / 3), "0,333333333333333");
    EXPECT_EQ(GeneralText(1234567.891), "1234567,891");
    EXPECT_EQ(GeneralText(-0.0001), "-0,0001");
    EXPECT_EQ(GeneralText(1e20), "100000000000000000000");
    EXPECT_EQ(GeneralText(static_cast<double>(2.345f)), "2,34500002861023");
}

TEST(GeneralText, ReadsBackAsTheSameFloat) {
    for (float value : {0.1f, 7.3f, 123.456f, 1e-3f, 98765.43f, 0.0625f, 3.0e10f}) {
        const std::string text = GeneralText(value);
        EXPECT_EQ(ParseNumber32(text), value) << text;
    }
}

// What reading FormatValue's text back gives, the oracle of RoundAsShown.
double ReadBackShown(double value, int decimals) {
    std::string text = FormatValue(value, decimals == 0 ? "0" : "0." + std::string(decimals, '0'));
    for (auto& c : text) {
        if (c == ',') c = '.';
    }
    double read = 0;
    std::from_chars(text.data(), text.data() + text.size(), read);
    return read;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(RoundAsShown, IsTheNumberTheShownTextReadsAs) {
    struct Case {
        double value;
        int decimals;
        double expected;
    };
    for (const auto& c :
         {Case{2.345, 2, 2.35}, Case{2.345f, 2, 2.35}, Case{1.005, 2, 1.01}, Case{-5.125, 2, -5.13},
          Case{5.126, 2, 5.13}, Case{1234.565, 2, 1234.57}, Case{999999.995, 2, 1000000},
          Case{12.5, 0, 13}, Case{-2.5, 0, -3}, Case{0.123456, 4, 0.1235},
          Case{123456789012.345, 2, 123456789012.35}, Case{1e20, 2, 1e20}, Case{0, 2, 0}}) {
        EXPECT_TRUE(SameBits(RoundAsShown(c.value, c.decimals), c.expected))
            << c.value << " to " << c.decimals << " gives " << RoundAsShown(c.value, c.decimals);
    }
    // A value that shows as zero is a plain zero, without sign.
    EXPECT_TRUE(SameBits(RoundAsShown(-0.004, 2), 0.0));
    EXPECT_TRUE(std::isnan(RoundAsShown(std::nan(""), 2)));
    EXPECT_EQ(RoundAsShown(-INFINITY, 2), -INFINITY);
}

TEST(RoundAsShown, AgreesWithTheTextBitForBitOverManyAmounts) {
    std::mt19937_64 random(20240615);
    std::uniform_real_distribution<double> exponent(-3, 13);
    for (int k = 0; k < 50000; ++k) {
        const double magnitude = std::pow(10.0, exponent(random));
        const double value = (k % 2 ? -1 : 1) * magnitude;
        // A half cent, or next to one, is where the digits decide.
        const double half = std::round(value * 100) / 100 + (k % 2 ? -0.005 : 0.005);
        // Plans hold 32-bit amounts; stored values are read as doubles.
        for (const double sample : {value, static_cast<double>(static_cast<float>(value)), half,
                                    std::nextafter(half, 0.0), std::nextafter(half, 2 * half)}) {
            ASSERT_TRUE(SameBits(RoundAsShown(sample, 2), ReadBackShown(sample, 2)))
                << sample << " shows as " << FormatValue(sample, "0.00");
        }
    }
}

}  // namespace
}  // namespace quotaplan
