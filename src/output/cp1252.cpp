#include "output/cp1252.h"

#include "common/text_encoding.h"

namespace quotaplan {

int Cp1252Byte(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<int>(codePoint);
    }
    for (int byte = 0x80; byte < 0xA0; ++byte) {
        if (codePoint != 0xFFFD && Cp1252CodePoint(static_cast<unsigned char>(byte)) == codePoint) {
            return byte;
        }
    }
    return -1;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char32_t code : DecodeUtf8(utf8)) {
        const int byte = Cp1252Byte(code);
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return out;
}

}  // namespace quotaplan
