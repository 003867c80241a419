#include "data/text_fold.h"

#include <gtest/gtest.h>

namespace quotaplan {
namespace {

struct OrderCase {
    const char* name;
    const char* a;
    const char* b;
    int expected;  // -1 a first, 0 equal, 1 b first
};

class CompareFoldedTest : public ::testing::TestWithParam<OrderCase> {};

int Sign(int value) { return (value > 0) - (value < 0); }

TEST_P(CompareFoldedTest, OrdersTheFoldedTextsBothWays) {
    const auto& c = GetParam();
    EXPECT_EQ(Sign(CompareFolded(c.a, c.b)), c.expected);
    EXPECT_EQ(Sign(CompareFolded(c.b, c.a)), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CompareFoldedTest,
    ::testing::Values(
        OrderCase{"AsciiCaseIgnored", "Contratto generato 12", "CONTRATTO GENERATO 12", 0},
        OrderCase{"AsciiFirstDifference", "Contratto A", "contratto b", -1},
        // Letters fold to lower case before comparing: "[" (0x5B) lies between "Z" and "a".
        OrderCase{"BracketAfterUpperCaseLetter", "[prova]", "Auto", -1},
        OrderCase{"UnderscoreBeforeFoldedLetter", "furgone_2", "FURGONEA", -1},
        OrderCase{"PrefixFirst", "Auto", "auto ", -1}, OrderCase{"Empty", "", "", 0},
        OrderCase{"AccentedCaseIgnored", "Società Più", "SOCIETÀ PIÙ", 0},
        OrderCase{"AccentedAfterAscii", "caffè", "caffe", 1},
        OrderCase{"AsciiThenAccentedDifference", "Caffè A", "CAFFÈ b", -1},
        OrderCase{"GreekAndCyrillicFold", "ΑΛΦΑ Жук", "αλφα жук", 0},
        // Bytes that are not UTF-8 keep their order after every valid character.
        OrderCase{"InvalidByteAfterValid", "a\xff", "a\xc3\xa8", 1},
        OrderCase{"InvalidBytesByValue", "\xfe", "\xff", -1}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quotaplan
