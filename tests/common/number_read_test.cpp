#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <optional>

#include "common/number_text.h"
#include "common/run_time_error.h"

namespace quotaplan {
namespace {

struct ReadCase {
    const char* name;
    const char* text;
    std::optional<double> expected;  // nullopt: not a number
};

class NumberTextReading : public testing::TestWithParam<ReadCase> {};

TEST_P(NumberTextReading, IsNumberTextAndParseNumberAgree) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(IsNumberText(c.text), c.expected.has_value());
    EXPECT_EQ(TryParseNumber(c.text), c.expected);
    if (c.expected) {
        EXPECT_EQ(ParseNumber64(c.text), *c.expected);
        EXPECT_EQ(ParseNumber32(c.text), static_cast<float>(*c.expected));
    } else {
        try {
            ParseNumber64(c.text);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.Number(), 13);
            EXPECT_EQ(error.Description(), "Tipo non corrispondente");
        }
        EXPECT_THROW(ParseNumber32(c.text), RunTimeError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberTextReading,
    testing::Values(
        // The Italian rule, where LeadingNumber stops at the comma (ZeroComma below).
        ReadCase{"ItalianRuleContrastsWithLeadingNumber", "0,75", 0.75},
        ReadCase{"Grouped", "1.234,56", 1234.56}, ReadCase{"Plain", "1234,56", 1234.56},
        ReadCase{"GroupOnly", "1.234", 1234}, ReadCase{"NegativeInteger", "-5", -5},
        ReadCase{"PlusSign", "+5", 5}, ReadCase{"Half", "0,5", 0.5},
        ReadCase{"NoIntegerPart", ",75", 0.75}, ReadCase{"TrailingSeparator", "12,", 12},
        ReadCase{"GroupsAnywhere", "12.34.5", 12345}, ReadCase{"Blanks", "  42 ", 42},
        ReadCase{"NegativeZero", "-0", 0}, ReadCase{"ManyDecimals", "0,000001", 0.000001},
        ReadCase{"Empty", "", std::nullopt}, ReadCase{"OnlyBlanks", "   ", std::nullopt},
        ReadCase{"TrailingLetters", "12abc", std::nullopt},
        ReadCase{"PointDecimalAfterComma", "1,234.5", std::nullopt},
        ReadCase{"TwoDecimalSeparators", "1,2,3", std::nullopt},
        ReadCase{"LeadingGroupSeparator", ".5", std::nullopt},
        ReadCase{"SignOnly", "-", std::nullopt}, ReadCase{"SeparatorOnly", ",", std::nullopt},
        ReadCase{"InnerBlank", "1 234", std::nullopt}, ReadCase{"Exponent", "1E5", std::nullopt},
        ReadCase{"DoubleSign", "--5", std::nullopt}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

int ErrorNumberOf(void (*read)()) {
    try {
        read();
    } catch (const RunTimeError& error) {
        return error.Number();
    }
    return 0;
}

TEST(ParseNumber, WidthsGiveDifferentResults) {
    EXPECT_EQ(ParseNumber64("0,1"), 0.1);
    EXPECT_EQ(ParseNumber32("0,1"), 0.1f);
    EXPECT_NE(static_cast<double>(ParseNumber32("0,1")), ParseNumber64("0,1"));
}

TEST(ParseNumber, RangeLimits) {
    // Beyond the 32-bit range: overflow in 32 bits, a plain number in 64 bits.
    const char* beyondFloat = "400000000000000000000000000000000000000";
    EXPECT_EQ(ParseNumber64(beyondFloat), 4e38);
    EXPECT_EQ(ErrorNumberOf([] { ParseNumber32("400000000000000000000000000000000000000"); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { ParseNumber32("-400000000000000000000000000000000000000"); }), 6);
    EXPECT_EQ(ParseNumber32("340282346638528859811704183484516925440"), FLT_MAX);
    const std::string beyondDouble(400, '9');
    EXPECT_EQ(TryParseNumber(beyondDouble), std::nullopt);
    try {
        ParseNumber64(beyondDouble);
        ADD_FAILURE();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), 6);
        EXPECT_EQ(error.Description(), "Overflow");
    }
    // Below the smallest magnitude a value reads as zero, not as an error.
    EXPECT_EQ(ParseNumber32("0," + std::string(60, '0') + "1"), 0.0f);
}

struct IntegerCase {
    const char* name;
    const char* text;
    int expected;  // 0 with an error number below
    int errorNumber;
};

class ParseInteger16Reading : public testing::TestWithParam<IntegerCase> {};

TEST_P(ParseInteger16Reading, RoundsHalvesToEven) {
    const IntegerCase& c = GetParam();
    if (c.errorNumber == 0) {
        EXPECT_EQ(ParseInteger16(c.text), c.expected);
        return;
    }
    try {
        ParseInteger16(c.text);
        ADD_FAILURE() << "no error for " << c.text;
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), c.errorNumber);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseInteger16Reading,
    testing::Values(IntegerCase{"Plain", "36", 36, 0}, IntegerCase{"HalfDown", "2,5", 2, 0},
                    IntegerCase{"HalfUp", "3,5", 4, 0}, IntegerCase{"NegativeHalf", "-2,5", -2, 0},
                    IntegerCase{"AboveHalf", "2,51", 3, 0},
                    IntegerCase{"Grouped", "1.200", 1200, 0},
                    IntegerCase{"Largest", "32767", 32767, 0},
                    IntegerCase{"Smallest", "-32768", -32768, 0},
                    IntegerCase{"SmallestHalfRoundsIn", "-32768,5", -32768, 0},
                    IntegerCase{"LargestHalfRoundsOut", "32767,5", 0, 6},
                    IntegerCase{"TooLarge", "32768", 0, 6}, IntegerCase{"TooSmall", "-32769", 0, 6},
                    IntegerCase{"NotANumber", "dodici", 0, 13}, IntegerCase{"Empty", "", 0, 13}),
    [](const testing::TestParamInfo<IntegerCase>& info) { return info.param.name; });

struct LeadingCase {
    const char* name;
    const char* text;
    double expected;
};

class LeadingNumberReading : public testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumberReading, PointDecimalWhateverTheSettings) {
    EXPECT_EQ(LeadingNumber(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LeadingNumberReading,
    testing::Values(
        LeadingCase{"CommaStops", "12,50", 12},
        LeadingCase{"ItalianGroupedIsFraction", "1.234,56", 1.234}, LeadingCase{"Empty", "", 0},
        LeadingCase{"ZeroComma", "0,75", 0}, LeadingCase{"PointFraction", "0.75", 0.75},
        LeadingCase{"LeadingBlanks", "   42", 42}, LeadingCase{"Negative", "-3.5abc", -3.5},
        LeadingCase{"Plus", "+7", 7}, LeadingCase{"Letters", "abc", 0},
        LeadingCase{"InnerBlanksSkipped", "1 2 3", 123},
        LeadingCase{"SecondPointStops", "1.2.3", 1.2}, LeadingCase{"FractionOnly", ".5", 0.5},
        LeadingCase{"Identifier", "1027", 1027}),
    [](const testing::TestParamInfo<LeadingCase>& info) { return info.param.name; });

TEST(LeadingNumber, OverflowIsAnErrorNotInfinity) {
    EXPECT_EQ(ErrorNumberOf([] { LeadingNumber(std::string(400, '9')); }), 6);
}

// The digits the exact readers of money and rates start from.
TEST(SplitNumberText, RegionalAndPlainForms) {
    const auto regional = SplitNumberText(" -1.234,50 ");
    ASSERT_TRUE(regional);
    EXPECT_TRUE(regional->negative);
    EXPECT_EQ(regional->integerDigits, "1234");
    EXPECT_EQ(regional->fractionDigits, "50");
    const auto plain = SplitPlainNumberText("1234.50");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->integerDigits, "1234");
    EXPECT_EQ(plain->fractionDigits, "50");
    EXPECT_EQ(SplitPlainNumberText(".5")->fractionDigits, "5");
    for (const char* refused : {"1,234.50", "1.234.5", "", "-", "12a"}) {
        EXPECT_FALSE(SplitPlainNumberText(refused)) << refused;
    }
}

}  // namespace
}  // namespace quotaplan
