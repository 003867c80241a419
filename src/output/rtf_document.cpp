#include "output/rtf_document.h"

#include <cstdint>
#include <cstdio>

#include "output/cp1252.h"

namespace quotaplan {

namespace {

void PutUnicode(std::string& out, char16_t unit) {
    out += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
}

// The position just after the group that starts at `open` (a "{"), escapes respected;
// npos when the group never closes.
std::size_t GroupEnd(std::string_view rtf, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth == 0) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

}  // namespace

std::string RtfEscape(std::string_view utf8) {
    std::string out;
    const std::u32string text = DecodeUtf8(utf8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\\line ";
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            continue;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const int byte = Cp1252Byte(c); byte >= 0) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "\\'%02x", byte);
            out += hex;
        } else if (c >= 0x10000) {
            PutUnicode(out, static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            PutUnicode(out, static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            PutUnicode(out, static_cast<char16_t>(c));
        }
    }
    return out;
}

bool FillRtfBookmark(std::string& rtf, std::string_view name, std::string_view utf8Text) {
    const std::string startMark = "{\\*\\bkmkstart " + std::string(name) + "}";
    const std::string endMark = "{\\*\\bkmkend " + std::string(name) + "}";
    const std::size_t start = rtf.find(startMark);
    if (start == std::string::npos) return false;
    const std::size_t contentStart = start + startMark.size();
    std::size_t contentEnd = rtf.find(endMark, contentStart);
    if (contentEnd == std::string::npos) contentEnd = contentStart;
    rtf.replace(contentStart, contentEnd - contentStart, RtfEscape(utf8Text));
    return true;
}

void SetRtfTitle(std::string& rtf, std::string_view utf8Title) {
    const std::string title = RtfEscape(utf8Title);
    const std::size_t titleAt = rtf.find("{\\title");
    if (titleAt != std::string::npos) {
        const std::size_t end = GroupEnd(rtf, titleAt);
        if (end != std::string::npos) {
            rtf.replace(titleAt, end - titleAt, "{\\title " + title + "}");
            return;
        }
    }
    const std::size_t infoAt = rtf.find("{\\info");
    if (infoAt != std::string::npos) {
        rtf.insert(infoAt + 6, "{\\title " + title + "}");
        return;
    }
    // No information group: it goes after the header tables, before the document text.
    std::size_t insertAt = rtf.find('{', 1);
    for (const char* table : {"{\\fonttbl", "{\\colortbl", "{\\stylesheet"}) {
        const std::size_t at = rtf.find(table);
        if (at != std::string::npos) {
            const std::size_t end = GroupEnd(rtf, at);
            if (end != std::string::npos && (insertAt == std::string::npos || end > insertAt)) {
                insertAt = end;
            }
        }
    }
    if (insertAt == std::string::npos) insertAt = rtf.empty() ? 0 : rtf.size() - 1;
    rtf.insert(insertAt, "{\\info{\\title " + title + "}}");
}

bool LooksLikeRtf(std::string_view bytes) { return bytes.substr(0, 5) == "{\\rtf"; }

}  // namespace quotaplan
