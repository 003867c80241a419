#include "engine/annuity.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "common/run_time_error.h"
#include "engine/checked_math.h"
#include "engine/periodicity.h"
#include "engine/rounding.h"

namespace quotaplan {
namespace {

struct PrimitiveCase {
    const char* name;
    std::function<float()> compute;
    float expected;
};

TEST(AnnuityPrimitives, PublishedValuesComeOutBitForBit) {
    const PrimitiveCase cases[] = {
        {"PeriodRate(0.06, 12)", [] { return static_cast<float>(PeriodRate(0.06f, 12)); },
         0.0048675505f},
        {"CompoundRate back to 0.06", [] { return CompoundRate(0.0048675505f, 12); }, 0.06f},
        {"AnnuityArrears(12, 0.005)", [] { return AnnuityArrears(12, 0.005f); }, 11.618932f},
        {"AnnuityAdvance(12, 0.005)", [] { return AnnuityAdvance(12, 0.005f); }, 11.677027f},
        {"AccumulationFactor(12, 0.005)", [] { return AccumulationFactor(12, 0.005f); },
         12.335563f},
        {"PresentValue(1000, 12, 0.005)", [] { return PresentValue(1000, 12, 0.005f); },
         941.90533f},
        {"AnnuityArrears(1, 0.005)", [] { return AnnuityArrears(1, 0.005f); }, 0.99502486f},
        {"AnnuityAdvance(1, 0.005)", [] { return AnnuityAdvance(1, 0.005f); }, 1.0f},
        {"AnnuityAdvance(1, 0.37)", [] { return AnnuityAdvance(1, 0.37f); }, 1.0f},
        {"AccumulationFactor(1, 0.005)", [] { return AccumulationFactor(1, 0.005f); }, 1.0f},
        {"AccumulationFactor(1, 0.2)", [] { return AccumulationFactor(1, 0.2f); }, 1.0f},
        {"simple periodic rate 0.06 / 12", [] { return PeriodicRateOf(0.06f, 12, false); }, 0.005f},
        {"compound periodic rate", [] { return PeriodicRateOf(0.06f, 12, true); }, 0.0048675505f},
        // Negative counts are applied as they stand: a(-1, i) = (1 - (1 + i)) / i = -1.
        {"AnnuityArrears(-1, 0.5)", [] { return AnnuityArrears(-1, 0.5f); }, -1.0f},
    };
    for (const auto& c : cases) EXPECT_EQ(c.compute(), c.expected) << c.name;
}

struct ErrorCase {
    const char* name;
    std::function<void()> call;
    int number;
    std::string description;
};

TEST(AnnuityPrimitives, ArithmeticErrorsAreRaisedWithTheirNumbers) {
    const ErrorCase cases[] = {
        {"arrears at rate 0", [] { AnnuityArrears(12, 0.0f); }, 11, "Divisione per zero"},
        {"advance at rate 0", [] { AnnuityAdvance(12, 0.0f); }, 11, "Divisione per zero"},
        {"advance of one at rate 0 (0/0)", [] { AnnuityAdvance(1, 0.0f); }, 11,
         "Divisione per zero"},
        {"accumulation at rate 0", [] { AccumulationFactor(12, 0.0f); }, 11, "Divisione per zero"},
        {"simple periodic rate with m = 0", [] { PeriodicRateOf(0.06f, 0, false); }, 11,
         "Divisione per zero"},
        {"compound periodic rate with m = 0", [] { PeriodicRateOf(0.06f, 0, true); }, 11,
         "Divisione per zero"},
        {"power overflows 32 bits", [] { CompoundRate(3.0f, 100); }, 6, "Overflow"},
        {"power overflows 64 bits", [] { AccumulationFactor(32767, 1e6f); }, 6, "Overflow"},
        {"present value beyond 32 bits", [] { PresentValue(3e38f, 1, -0.5f); }, 6, "Overflow"},
        {"count below the 16-bit range", [] { AnnuityAdvance(-32768, 0.01f); }, 6, "Overflow"},
        {"rate below -100 % under a root", [] { PeriodRate(-2.0f, 12); }, 5,
         "Chiamata di routine o argomento non validi"},
        {"rate of -100 % discounted", [] { PresentValue(1000, 12, -1.0f); }, 5,
         "Chiamata di routine o argomento non validi"},
        {"not a number", [] { CompoundRate(std::numeric_limits<float>::quiet_NaN(), 2); }, 5,
         "Chiamata di routine o argomento non validi"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.name << ": nothing raised";
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.Number(), c.number) << c.name;
            EXPECT_EQ(error.Description(), c.description) << c.name;
        }
    }
}

TEST(AnnuityPrimitives, ANegativeRateAboveMinusOneHundredPercentIsComputed) {
    // A 50 % loss a period still has a value: (1 - 0.5^-2) / -0.5 = 6.
    EXPECT_EQ(AnnuityArrears(2, -0.5f), 6.0f);
}

TEST(Rounding, HalfToEvenOnTheBinaryValue) {
    struct Case {
        float value;
        int decimals;
        float expected;
    };
    const Case cases[] = {
        // 0.125 and 0.375 are exact halves; the others are judged by their binary value:
        // 2.345f is 2.3450000286..., 0.285f is 0.2849999964..., 2.675f is 2.6749999523...
        {0.125f, 2, 0.12f},       {0.375f, 2, 0.38f},      {2.345f, 2, 2.35f},
        {0.285f, 2, 0.28f},       {2.675f, 2, 2.67f},      {1.005f, 2, 1.0f},
        {2.5f, 0, 2.0f},          {3.5f, 0, 4.0f},         {-2.5f, 0, -2.0f},
        {-0.375f, 2, -0.38f},     {859.9299f, 2, 859.93f}, {0.0851999968f, 4, 0.0852f},
        {1.0f / 3, 12, 1.0f / 3}, {9999.5f, 0, 10000.0f},  {0.0f, 4, 0.0f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.value, c.decimals), c.expected) << c.value << " " << c.decimals;
    }
}

TEST(Rounding, DecimalsOutsideTheSupportedRangeAreRefused) {
    for (int decimals : {-1, 13}) {
        try {
            RoundHalfEven(1.5f, decimals);
            ADD_FAILURE() << decimals;
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.Number(), 5);
        }
    }
}

TEST(CheckedMath, SingleRangeIsGuarded) {
    EXPECT_EQ(ToSingle(3.4028234e38), std::numeric_limits<float>::max());
    EXPECT_THROW(ToSingle(3.5e38), RunTimeError);
    EXPECT_THROW(ToSingle(-3.5e38), RunTimeError);
}

TEST(Periodicity, ConversionBothWays) {
    struct Case {
        int value;
        bool toListIndex;
        std::int16_t expected;
    };
    const Case cases[] = {
        {-1, false, 12}, {0, false, 12}, {1, false, 6}, {2, false, 4}, {3, false, 3}, {4, false, 2},
        {5, false, 1},   {6, false, 12}, {12, true, 0}, {6, true, 1},  {4, true, 2},  {3, true, 3},
        {2, true, 4},    {1, true, 5},   {5, true, 6},  {0, true, 6},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConvertPeriodicity(c.value, c.toListIndex), c.expected)
            << c.value << (c.toListIndex ? " to index" : " to periods");
    }
    EXPECT_EQ(kPeriodicityCaptions[0], "Mensile");
    EXPECT_EQ(kPeriodicityCaptions[3], "Quadrimestrale");
    EXPECT_EQ(kPeriodicityCaptions[5], "Annuale");
}

}  // namespace
}  // namespace quotaplan
