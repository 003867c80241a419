// Data files as spreadsheets and editors save them, read as UTF-8.
#include "common/text_encoding.h"

#include <gtest/gtest.h>

namespace quotaplan {
namespace {

// The bytes of a text in UTF-16 with its byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(DataFileText, EachSavedEncodingReadsAsTheSameWords) {
    const std::string expected = "Attivit\xC3\xA0;\xE2\x82\xAC 25.000\r\n";  // "Attività;€ 25.000"
    const std::u16string wide = u"Attivit\u00E0;\u20AC 25.000\r\n";
    const struct {
        const char* saved;
        std::string bytes;
    } cases[] = {
        {"UTF-8", expected},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + expected},
        {"Windows-1252", "Attivit\xE0;\x80 25.000\r\n"},
        {"UTF-16 LE", Utf16(wide, false)},
        {"UTF-16 BE", Utf16(wide, true)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DataFileTextAsUtf8(c.bytes), expected) << c.saved;
    }
}

TEST(DataFileText, UnusedWindows1252BytesBecomeTheReplacementCharacter) {
    EXPECT_EQ(DataFileTextAsUtf8("a\x81z\xE8"), "a\xEF\xBF\xBDz\xC3\xA8");
}

TEST(DataFileText, BytesThatBreakTheMarkedEncodingBecomeTheReplacementCharacter) {
    EXPECT_EQ(DataFileTextAsUtf8("\xEF\xBB\xBF" "02/01/20\xD7" "4;3,9"),
              "02/01/20\xEF\xBF\xBD" "4;3,9");
    EXPECT_EQ(DataFileTextAsUtf8("\xEF\xBB\xBF" "Attivit\xE0\r\n"), "Attivit\xEF\xBF\xBD\r\n");
}

}  // namespace
}  // namespace quotaplan
