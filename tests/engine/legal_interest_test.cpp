#include "engine/legal_interest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quotaplan {
namespace {

CalendarDate Iso(const char* text) { return *CalendarDate::FromIso(text); }

// Two years of the table, the second still in force.
std::vector<LegalRate> Table() {
    return {{Iso("2023-01-01"), Iso("2023-12-31"), Percent::FromHundredths(500)},
            {Iso("2024-01-01"), CalendarDate(), Percent::FromHundredths(250)}};
}

struct LegalCase {
    const char* name;
    std::vector<DatedAmount> amounts;
    const char* until;
    std::int64_t cents;  // -1: a gap
    const char* gap;
};

class LegalInterestTest : public ::testing::TestWithParam<LegalCase> {};

TEST_P(LegalInterestTest, ByHand) {
    const auto& c = GetParam();
    const auto result = LegalInterest(c.amounts, Table(), Iso(c.until));
    if (c.cents < 0) {
        ASSERT_TRUE(std::holds_alternative<LegalRateGap>(result));
        EXPECT_EQ(std::get<LegalRateGap>(result).day, Iso(c.gap));
        return;
    }
    ASSERT_TRUE(std::holds_alternative<Money>(result));
    EXPECT_EQ(std::get<Money>(result).Cents(), c.cents);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LegalInterestTest,
    ::testing::Values(
        // 1.000 for 366 days of 2024 at 2,5 %: 1.000 * 0,025 * 366 / 365 = 25,068
        LegalCase{
            "LeapYear", {{Iso("2023-12-31"), Money::FromCents(100000)}}, "2024-12-31", 2507, ""},
        // 184 days at 5 % and 182 at 2,5 %: 1.000 * (9,2 + 4,55) / 365 = 37,671
        LegalCase{"AcrossTwoRates",
                  {{Iso("2023-06-30"), Money::FromCents(100000)}},
                  "2024-06-30",
                  3767,
                  ""},
        // Each amount rounded on its own: 100 for one day at 5 % is 0,0137 -> 0,01, twice.
        LegalCase{"EachAmountRounded",
                  {{Iso("2023-03-01"), Money::FromCents(10000)},
                   {Iso("2023-03-01"), Money::FromCents(10000)}},
                  "2023-03-02",
                  2,
                  ""},
        // Paid less counts against; on or after the date nothing runs.
        LegalCase{"SignedAndDated",
                  {{Iso("2023-12-31"), Money::FromCents(100000)},
                   {Iso("2023-12-31"), Money::FromCents(-40000)},
                   {Iso("2024-12-31"), Money::FromCents(500000)}},
                  "2024-12-31",
                  1504,
                  ""},
        LegalCase{"BeforeTheTable",
                  {{Iso("2022-12-30"), Money::FromCents(100000)}},
                  "2023-06-30",
                  -1,
                  "2022-12-31"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quotaplan
