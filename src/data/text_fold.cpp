#include "data/text_fold.h"

#include <algorithm>

#include "common/utf8.h"

namespace quotaplan {
namespace {

// An invalid byte b stands for the private code point 0xDC00 + b, so that texts holding
// such bytes still compare consistently with each other.
char32_t PrivateCodeOf(unsigned char invalid) { return 0xDC00 + invalid; }

std::u32string Decode(std::string_view text) { return DecodeUtf8(text, PrivateCodeOf); }

char32_t FoldOne(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
    if (c >= 0x100 && c <= 0x137) return c | 1;
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

bool LikeFrom(const std::u32string& p, std::size_t pi, const std::u32string& t, std::size_t ti,
              char32_t escape) {
    while (pi < p.size()) {
        const char32_t c = p[pi];
        if (c == U'%' && !(escape != 0 && c == escape)) {
            while (pi < p.size() && p[pi] == U'%') ++pi;
            if (pi == p.size()) return true;
            for (std::size_t k = ti; k <= t.size(); ++k) {
                if (LikeFrom(p, pi, t, k, escape)) return true;
            }
            return false;
        }
        if (ti == t.size()) return false;
        if (escape != 0 && c == escape && pi + 1 < p.size()) {
            if (p[pi + 1] != t[ti]) return false;
            pi += 2;
        } else if (c == U'_') {
            ++pi;
        } else {
            if (c != t[ti]) return false;
            ++pi;
        }
        ++ti;
    }
    return ti == t.size();
}

// Decodes the code point at text[i] and advances i; the same rules as Decode.
char32_t NextCode(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    char32_t code = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && i + length <= text.size();
    for (int k = 1; valid && k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        valid = (next & 0xC0) == 0x80;
        code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
        ++i;
        return 0xDC00 + lead;
    }
    i += length;
    return code;
}

}  // namespace

std::u32string FoldCase(std::string_view utf8) {
    auto codes = Decode(utf8);
    std::transform(codes.begin(), codes.end(), codes.begin(), FoldOne);
    return codes;
}

int CompareFolded(std::string_view a, std::string_view b) {
    // Code point by code point, without building the folded texts: sorting calls this a lot.
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto byteA = static_cast<unsigned char>(a[i]);
        const auto byteB = static_cast<unsigned char>(b[j]);
        if ((byteA | byteB) < 0x80) {
            // Both ASCII, the usual case: one byte each, only A-Z to fold.
            if (byteA != byteB) {
                const int x = byteA >= 'A' && byteA <= 'Z' ? byteA + 32 : byteA;
                const int y = byteB >= 'A' && byteB <= 'Z' ? byteB + 32 : byteB;
                if (x != y) return x < y ? -1 : 1;
            }
            ++i;
            ++j;
            continue;
        }
        const char32_t x = FoldOne(NextCode(a, i));
        const char32_t y = FoldOne(NextCode(b, j));
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    return j < b.size() ? -1 : 0;
}

bool LikeFolded(std::string_view pattern, std::string_view text, char32_t escape) {
    const auto e = escape == 0 ? 0 : FoldOne(escape);
    return LikeFrom(FoldCase(pattern), 0, FoldCase(text), 0, e);
}

}  // namespace quotaplan
