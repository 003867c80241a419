// What a text of an archive file becomes on the server: nothing changed unseen.
#include "data/server_text.h"

#include <gtest/gtest.h>

namespace quotaplan {
namespace {

struct ServerTextCase {
    const char* name;
    std::string stored;
    std::optional<std::string> text;  // nullopt: held as it is
    const char* change;
};

const ServerTextCase kCases[] = {
    {"Ascii", "Fresatrice CNC", std::nullopt, ""},
    {"Utf8", "Società è più €", std::nullopt, ""},
    {"Empty", "", std::nullopt, ""},
    {"Latin1", "Societ\xE0 pi\xF9", "Società più", "byte non UTF-8 letti come Windows-1252"},
    {"Windows1252Euro", "20 \x80 \x93netti\x94", "20 € “netti”",
     "byte non UTF-8 letti come Windows-1252"},
    {"UnusedByte",
     "a\x81"
     "b",
     "a\uFFFDb", "byte non UTF-8 letti come Windows-1252"},
    {"CutUtf8", "caf\xC3", "cafÃ", "byte non UTF-8 letti come Windows-1252"},
    {"Nul", std::string("A\0B", 3), "A\uFFFDB", "carattere NUL sostituito da \"\uFFFD\""},
    {"TrailingNuls", std::string("Auto\0\0", 6), "Auto\uFFFD\uFFFD",
     "carattere NUL sostituito da \"\uFFFD\""},
    {"Both",
     std::string("Cr\xE9"
                 "dito\0",
                 8),
     "Crédito\uFFFD",
     "byte non UTF-8 letti come Windows-1252, carattere NUL sostituito da \"\uFFFD\""},
};

class ServerTextTest : public ::testing::TestWithParam<ServerTextCase> {};

TEST_P(ServerTextTest, IsHeldAsItIsOrReadAsMeant) {
    const auto& row = GetParam();
    const auto mended = TextForServer(row.stored);
    ASSERT_EQ(mended.has_value(), row.text.has_value());
    if (!mended) return;
    EXPECT_EQ(mended->text, *row.text);
    EXPECT_EQ(mended->change, row.change);
}

INSTANTIATE_TEST_SUITE_P(Texts, ServerTextTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quotaplan
