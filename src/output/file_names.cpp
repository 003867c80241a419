#include "output/file_names.h"

#include <string_view>

namespace quotaplan {
namespace {

bool IsAsciiControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The UTF-8 form of U+0080 to U+009F: 0xC2 followed by 0x80 to 0x9F.
bool IsLatin1ControlAt(const std::string& text, std::size_t i) {
    return static_cast<unsigned char>(text[i]) == 0xC2 && i + 1 < text.size() &&
           static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
           static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

}  // namespace

std::string ReplaceInvalidChars(std::string& text) {
    constexpr std::string_view kInvalid("\\/:*?\"<>|");
    std::string cleaned;
    cleaned.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsLatin1ControlAt(text, i)) {
            cleaned += ' ';
            ++i;
        } else if (kInvalid.find(c) != std::string_view::npos ||
                   IsAsciiControl(static_cast<unsigned char>(c))) {
            cleaned += ' ';
        } else {
            cleaned += c;
        }
    }
    text = cleaned;
    return text;
}

}  // namespace quotaplan
