#include "common/name_key.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <stdexcept>

#include "common/utf8.h"

namespace quotaplan {
namespace {

// An invalid byte b stands for U+F700 + b, in the private-use area that no normalisation
// touches.
char32_t PrivateCodeOf(unsigned char invalid) { return 0xF700 + invalid; }

struct Normalizers {
    const icu::Normalizer2* foldCompatible;
    const icu::Normalizer2* decompose;
    const icu::Normalizer2* compose;
};

const Normalizers& TheNormalizers() {
    static const Normalizers normalizers = [] {
        UErrorCode status = U_ZERO_ERROR;
        Normalizers made{icu::Normalizer2::getNFKCCasefoldInstance(status),
                         icu::Normalizer2::getNFDInstance(status),
                         icu::Normalizer2::getNFCInstance(status)};
        // ICU's data is part of its library: failing here means a broken installation.
        if (U_FAILURE(status)) throw std::runtime_error(u_errorName(status));
        return made;
    }();
    return normalizers;
}

icu::UnicodeString Normalized(const icu::Normalizer2& normalizer, const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString out = normalizer.normalize(text, status);
    if (U_FAILURE(status)) throw std::runtime_error(u_errorName(status));
    return out;
}

}  // namespace

std::string NameKey(std::string_view name) {
    const Normalizers& normalizers = TheNormalizers();
    icu::UnicodeString text;
    for (const char32_t code : DecodeUtf8(name, PrivateCodeOf)) {
        text.append(static_cast<UChar32>(code));
    }
    const icu::UnicodeString decomposed =
        Normalized(*normalizers.decompose, Normalized(*normalizers.foldCompatible, text));
    icu::UnicodeString unmarked;
    for (int32_t k = 0; k < decomposed.length();) {
        const UChar32 code = decomposed.char32At(k);
        k += U16_LENGTH(code);
        if (u_charType(code) != U_NON_SPACING_MARK) unmarked.append(code);
    }
    const icu::UnicodeString composed = Normalized(*normalizers.compose, unmarked);

    std::string key;
    bool pendingBlank = false;
    for (int32_t k = 0; k < composed.length();) {
        const UChar32 code = composed.char32At(k);
        k += U16_LENGTH(code);
        if (code == U' ' || code == U'\t' || code == U'\n' || code == 0xA0) {
            pendingBlank = !key.empty();
            continue;
        }
        if (pendingBlank) key += ' ';
        pendingBlank = false;
        AppendUtf8(key, static_cast<char32_t>(code));
    }
    return key;
}

bool SameName(std::string_view a, std::string_view b) { return NameKey(a) == NameKey(b); }

}  // namespace quotaplan
