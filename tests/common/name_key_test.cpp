#include "common/name_key.h"

#include <gtest/gtest.h>

namespace quotaplan {
namespace {

struct KeyCase {
    const char* name;
    const char* text;
    const char* key;
};

class NameKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(NameKeyTest, FoldsTheNameToItsKey) {
    const auto& c = GetParam();
    EXPECT_EQ(NameKey(c.text), c.key);
    // A key is its own key: stored keys compare with keys made later.
    EXPECT_EQ(NameKey(c.key), c.key);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameKeyTest,
    ::testing::Values(
        KeyCase{"LetterCase", "Macchina 3", "macchina 3"},
        KeyCase{"AccentOfAComposedLetter", "Màcchina 3", "macchina 3"},
        KeyCase{"AccentAsACombiningMark", "Ma\u0300cchina 3", "macchina 3"},
        KeyCase{"AccentsOfACategory", "Crédito persònale", "credito personale"},
        KeyCase{"SharpS", "Straße", "strasse"}, KeyCase{"CapitalSharpS", "STRASSE", "strasse"},
        KeyCase{"Ligature", "\xef\xac\x81ne", "fine"},
        KeyCase{"FullWidthLetter", "\xef\xbc\xa1", "a"}, KeyCase{"KelvinSign", "\xe2\x84\xaa", "k"},
        KeyCase{"GreekFinalSigma", "ΟΔΟΣ", "οδοσ"},
        KeyCase{"TabLineFeedAndNoBreakSpace", "Auto\t1\nrossa\xc2\xa0nuova", "auto 1 rossa nuova"},
        KeyCase{"RunsOfBlanksAndEnds", "  Auto   blu  ", "auto blu"},
        KeyCase{"OnlyBlanks", " \t ", ""}, KeyCase{"Empty", "", ""},
        // Not a combining mark: the mark of a spacing letter stays ("ʼ" is Lm).
        KeyCase{"SpacingModifierStays", "Sant\xca\xbc", "sant\xca\xbc"},
        // A byte that is not UTF-8 keeps a place of its own.
        KeyCase{"InvalidByte", "M\xe0rio", "m\xef\x9f\xa0rio"}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

// Two unreadable names differing in their bytes stay two names.
TEST(SameNameTest, NamesWithDifferentInvalidBytesDiffer) {
    EXPECT_FALSE(SameName("M\xe0rio", "M\xe8rio"));
    EXPECT_TRUE(SameName("M\xe0rio", "m\xe0RIO"));
}

}  // namespace
}  // namespace quotaplan
