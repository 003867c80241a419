#include "common/data_line_stream.h"

#include "common/text_encoding.h"

namespace quotaplan {
namespace {

void AppendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

void DataLineStream::ReadMark() {
    encoding_ = Encoding::Bytes;
    const int first = in_.peek();
    if (first == 0xEF) {
        char mark[3] = {};
        in_.read(mark, 3);
        if (in_.gcount() == 3 && mark[1] == '\xBB' && mark[2] == '\xBF') return;
        in_.clear();
        for (auto k = in_.gcount(); k > 0; --k) in_.unget();
    } else if (first == 0xFF || first == 0xFE) {
        char mark[2] = {};
        in_.read(mark, 2);
        if (in_.gcount() == 2 && mark[0] == '\xFF' && mark[1] == '\xFE') {
            encoding_ = Encoding::Utf16LittleEndian;
        } else if (in_.gcount() == 2 && mark[0] == '\xFE' && mark[1] == '\xFF') {
            encoding_ = Encoding::Utf16BigEndian;
        } else {
            in_.clear();
            for (auto k = in_.gcount(); k > 0; --k) in_.unget();
        }
    }
}

std::optional<std::string> DataLineStream::NextUtf16() {
    const bool little = encoding_ == Encoding::Utf16LittleEndian;
    const auto unit = [&]() -> std::optional<char16_t> {
        char bytes[2];
        in_.read(bytes, 2);
        if (in_.gcount() < 2) return std::nullopt;
        const auto lo = static_cast<unsigned char>(bytes[little ? 0 : 1]);
        const auto hi = static_cast<unsigned char>(bytes[little ? 1 : 0]);
        return static_cast<char16_t>(lo | (hi << 8));
    };
    std::string line;
    bool any = false;
    while (const auto first = unit()) {
        any = true;
        char32_t c = *first;
        if (c == u'\n') break;
        if (c >= 0xD800 && c < 0xDC00) {
            const auto second = unit();
            c = second && *second >= 0xDC00 && *second < 0xE000
                    ? 0x10000 + ((c - 0xD800) << 10) + (*second - 0xDC00)
                    : kReplacement;
        } else if (c >= 0xDC00 && c < 0xE000) {
            c = kReplacement;
        }
        AppendUtf8(line, c);
    }
    if (!any) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::optional<std::string> DataLineStream::Next() {
    if (encoding_ == Encoding::Unknown) ReadMark();
    std::optional<std::string> line;
    if (encoding_ == Encoding::Bytes) {
        std::string bytes;
        if (!std::getline(in_, bytes)) return std::nullopt;
        if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
        line = IsUtf8Text(bytes) ? std::move(bytes) : Cp1252TextAsUtf8(bytes);
    } else {
        line = NextUtf16();
        if (!line) return std::nullopt;
    }
    ++lineNumber_;
    return line;
}

}  // namespace quotaplan
