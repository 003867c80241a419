#include "common/text_encoding.h"

#include <algorithm>
#include <array>

#include "common/utf8.h"

namespace quotaplan {
namespace {

// Code points of the bytes 0x80..0x9F; U+FFFD marks the five bytes the code page leaves
// unused.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// A code point no UTF-8 sequence decodes to: marks the bytes that are not valid UTF-8.
constexpr char32_t kNotUtf8 = 0xFFFFFFFF;
char32_t NotUtf8(unsigned char) { return kNotUtf8; }

bool IsUtf8(const std::u32string& decoded) {
    return std::find(decoded.begin(), decoded.end(), kNotUtf8) == decoded.end();
}

// Text that should be UTF-8: as it is, but for a byte that breaks UTF-8 (a file marked as
// UTF-8 but pieced together, or cut), which becomes U+FFFD as a lone surrogate of UTF-16
// does, so that what is stored is always text.
std::string ValidUtf8(std::string_view bytes) {
    const std::u32string decoded = DecodeUtf8(bytes, NotUtf8);
    if (IsUtf8(decoded)) return std::string(bytes);
    std::string text;
    for (const char32_t code : decoded) AppendUtf8(text, code == kNotUtf8 ? 0xFFFD : code);
    return text;
}

}  // namespace

char32_t Cp1252CodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

std::optional<std::string> MarkedTextAsUtf8(std::string_view bytes) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
    constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
    if (bytes.starts_with(kUtf8Mark)) return std::string(bytes.substr(kUtf8Mark.size()));
    if (bytes.starts_with(kUtf16LeMark)) {
        return Utf16ToUtf8(bytes.substr(kUtf16LeMark.size()), ByteOrder::LittleEndian);
    }
    if (bytes.starts_with(kUtf16BeMark)) {
        return Utf16ToUtf8(bytes.substr(kUtf16BeMark.size()), ByteOrder::BigEndian);
    }
    return std::nullopt;
}

bool IsUtf8Text(std::string_view bytes) { return IsUtf8(DecodeUtf8(bytes, NotUtf8)); }

std::string Cp1252TextAsUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) AppendUtf8(text, Cp1252CodePoint(static_cast<unsigned char>(c)));
    return text;
}

std::string DataFileTextAsUtf8(std::string_view bytes) {
    if (auto marked = MarkedTextAsUtf8(bytes)) return ValidUtf8(*marked);
    if (IsUtf8Text(bytes)) return std::string(bytes);
    return Cp1252TextAsUtf8(bytes);
}

}  // namespace quotaplan
