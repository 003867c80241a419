#include "engine/money.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

struct RatioCase {
    const char* name;
    __int128 numerator;
    __int128 denominator;
    std::int64_t rounded;
};

class RoundHalfUpRatio : public testing::TestWithParam<RatioCase> {};

TEST_P(RoundHalfUpRatio, RoundsHalvesAwayFromZero) {
    const RatioCase& c = GetParam();
    EXPECT_EQ(RoundHalfUp(c.numerator, c.denominator), c.rounded);
}

constexpr __int128 kHuge = static_cast<__int128>(1) << 100;

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundHalfUpRatio,
    testing::Values(RatioCase{"exact", 10, 5, 2}, RatioCase{"below_half", 14, 10, 1},
                    RatioCase{"half", 15, 10, 2}, RatioCase{"above_half", 16, 10, 2},
                    RatioCase{"negative_half", -15, 10, -2},
                    RatioCase{"negative_below_half", -14, 10, -1},
                    RatioCase{"negative_denominator", 15, -10, -2},
                    // 200,000.00 at 4 % a year simple, a month: 66,666.666... cents.
                    RatioCase{"first_interest", static_cast<__int128>(20000000) * 40000, 12000000,
                              66667},
                    RatioCase{"beyond_64_bit_operands", kHuge * 3 + kHuge / 2, kHuge, 4},
                    RatioCase{"zero", 0, 7, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoundHalfUp, RefusesZeroDenominatorAndOverflow) {
    try {
        RoundHalfUp(__int128{1}, __int128{0});
        FAIL();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), 11);
    }
    try {
        RoundHalfUp(kHuge, __int128{1});
        FAIL();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), 6);
    }
}

TEST(RoundHalfUpScaled, RoundsTheExactBinaryValue) {
    EXPECT_EQ(RoundHalfUpScaled(0.125L, 100), 13);  // an exact half in binary
    EXPECT_EQ(RoundHalfUpScaled(-0.125L, 100), -13);
    EXPECT_EQ(RoundHalfUpScaled(2.675, 100), 267);  // the double is 2.67499999...
    EXPECT_EQ(RoundHalfUpScaled(1e-30L, 100), 0);
    EXPECT_EQ(RoundHalfUpScaled(0.0L, 100), 0);
    EXPECT_EQ(RoundHalfUpScaled(1234567890123.455L, 100), 123456789012346);
    // Values that are doubles (a plan's amounts) or floats (its rates) take a shorter road to
    // the same roundings.
    EXPECT_EQ(RoundHalfUpScaled(-2.675, 100), -267);
    EXPECT_EQ(RoundHalfUpScaled(1234567890123.455, 100), 123456789012346);
    EXPECT_EQ(RoundHalfUpScaled(0.0475f, 10000), 475);  // the float is 0.047499999...
    EXPECT_EQ(RoundHalfUpScaled(4.9e-324, 100), 0);     // the least subnormal
    EXPECT_EQ(RoundHalfUpScaled(92233720368547758.0, 1), 92233720368547760);
    for (const long double bad : {1e30L, std::numeric_limits<long double>::infinity(),
                                  static_cast<long double>(9.3e16)}) {
        try {
            RoundHalfUpScaled(bad, 100);
            FAIL();
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.Number(), 6);
        }
    }
}

TEST(Money, DecimalIsTheShortestExactForm) {
    EXPECT_EQ(Money::FromCents(95483).Decimal(), "954.83");
    EXPECT_EQ(Money::FromCents(10000).Decimal(), "100");
    EXPECT_EQ(Money::FromCents(10050).Decimal(), "100.5");
    EXPECT_EQ(Money::FromCents(-7).Decimal(), "-0.07");
    EXPECT_EQ(Money::FromCents(16777217).Decimal(), "167772.17");
    EXPECT_EQ(Money::FromCents(INT64_MIN).Decimal(), "-92233720368547758.08");
}

TEST(Money, ArithmeticRaisesOverflow) {
    EXPECT_EQ((Money::FromCents(5) - Money::FromCents(7)).Cents(), -2);
    EXPECT_EQ((-Money::FromCents(5)).Cents(), -5);
    try {
        Money::FromCents(INT64_MAX) + Money::FromCents(1);
        FAIL();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), 6);
    }
}

TEST(ReadMoney, RoundsTheTypedDigitsHalfUp) {
    EXPECT_EQ(ReadMoney("1.234,56")->Cents(), 123456);
    EXPECT_EQ(ReadMoney("1234,565")->Cents(), 123457);  // as the field shows it: 1.234,57
    EXPECT_EQ(ReadMoney("-0,005")->Cents(), -1);
    EXPECT_EQ(ReadMoney("209.824,65")->Cents(), 20982465);  // no 32-bit float holds it
    EXPECT_EQ(ReadMoney("0,0049999999999999999999")->Cents(), 0);
    EXPECT_FALSE(ReadMoney("abc"));
    EXPECT_FALSE(ReadMoney("1.234.567.890.123.456.789"));
    EXPECT_EQ(ReadPlainMoney("1234.56")->Cents(), 123456);
    EXPECT_EQ(ReadPlainMoney("-600")->Cents(), -60000);
    EXPECT_FALSE(ReadPlainMoney("1.234,56"));
    EXPECT_FALSE(ReadPlainMoney("1,5"));
}

TEST(Percent, RoundsAndPrints) {
    EXPECT_EQ(ReadPercent("10,58")->TenThousandths(), 105800);
    EXPECT_EQ(ReadPercent("4,123456")->TenThousandths(), 41235);
    EXPECT_EQ(Percent::FromTenThousandths(172250).Decimal(), "17.225");
    EXPECT_EQ(Percent::FromTenThousandths(96850).Rounded(2).TenThousandths(), 96900);
    EXPECT_EQ(Percent::FromTenThousandths(-96850).Rounded(2).TenThousandths(), -96900);
    EXPECT_EQ(Percent::FromHundredths(400).Fraction(), 0.04L);
}

}  // namespace
}  // namespace quotaplan
