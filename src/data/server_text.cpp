#include "data/server_text.h"

#include <algorithm>

#include "common/text_encoding.h"

namespace quotaplan {

std::optional<ServerText> TextForServer(std::string_view stored) {
    // Nearly every text is plain ASCII: settled without decoding it.
    const bool plain = std::all_of(stored.begin(), stored.end(), [](char c) {
        return c != '\0' && static_cast<unsigned char>(c) < 0x80;
    });
    if (plain) return std::nullopt;
    const bool utf8 = IsUtf8Text(stored);
    const bool nul = stored.find('\0') != std::string_view::npos;
    if (utf8 && !nul) return std::nullopt;
    ServerText mended{utf8 ? std::string(stored) : Cp1252TextAsUtf8(stored), ""};
    if (!utf8) mended.change = "byte non UTF-8 letti come Windows-1252";
    if (nul) {
        std::string text;
        for (const char c : mended.text) {
            text += c == '\0' ? std::string("\uFFFD") : std::string(1, c);
        }
        mended.text = std::move(text);
        mended.change += std::string(utf8 ? "" : ", ") + "carattere NUL sostituito da \"\uFFFD\"";
    }
    return mended;
}

}  // namespace quotaplan
