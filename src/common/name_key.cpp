#include "common/name_key.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/utf16.h>

#include <stdexcept>

#include "common/loaded_library.h"
#include "common/utf8.h"

// ICU's functions carry its version in their names (u_charType_72): the names to resolve are
// the macros' expansions.
#define QUOTAPLAN_TEXT(x) #x
#define QUOTAPLAN_EXPANDED_TEXT(x) QUOTAPLAN_TEXT(x)

namespace quotaplan {
namespace {

// ICU is opened the first time a name is compared rather than linked, as SQLite is: a
// calculation never compares names, and loading ICU (and the C++ library it brings) cost
// quotaplan-calc a third of its start.
#define QUOTAPLAN_ICU_FUNCTIONS(X)                                                        \
    X(unorm2_getNFKCCasefoldInstance) X(unorm2_getNFDInstance) X(unorm2_getNFCInstance) \
        X(unorm2_normalize) X(u_charType) X(u_errorName)

enum class IcuFunction {
#define QUOTAPLAN_NUMBER(name) name,
    QUOTAPLAN_ICU_FUNCTIONS(QUOTAPLAN_NUMBER)
#undef QUOTAPLAN_NUMBER
};

const std::string kIcuLibrary = "libicuuc.so." QUOTAPLAN_EXPANDED_TEXT(U_ICU_VERSION_MAJOR_NUM);
const std::string kIcuPackage = "libicu" QUOTAPLAN_EXPANDED_TEXT(U_ICU_VERSION_MAJOR_NUM);

LoadedLibrary& Icu() {
    static LoadedLibrary library(kIcuLibrary, {
#define QUOTAPLAN_NAME(name) QUOTAPLAN_EXPANDED_TEXT(name),
                                                  QUOTAPLAN_ICU_FUNCTIONS(QUOTAPLAN_NAME)
#undef QUOTAPLAN_NAME
                                              });
    return library;
}

#define QUOTAPLAN_ICU(name) \
    reinterpret_cast<decltype(&::name)>(Icu().Function(static_cast<std::size_t>(IcuFunction::name)))

void RequireIcu() {
    if (const auto& missing = Icu().Load()) {
        throw std::runtime_error("Per confrontare i nomi serve la libreria " + kIcuLibrary +
                                 " (pacchetto " + kIcuPackage +
                                 "), che su questo computer manca o non si carica (" +
                                 *missing + "): installarla con \"sudo apt-get install " +
                                 kIcuPackage + "\".");
    }
}

// An invalid byte b stands for U+F700 + b, in the private-use area that no normalisation
// touches.
char32_t PrivateCodeOf(unsigned char invalid) { return 0xF700 + invalid; }

struct Normalizers {
    const UNormalizer2* foldCompatible;
    const UNormalizer2* decompose;
    const UNormalizer2* compose;
};

void ThrowOnFailure(UErrorCode status) {
    if (U_FAILURE(status)) throw std::runtime_error(QUOTAPLAN_ICU(u_errorName)(status));
}

const Normalizers& TheNormalizers() {
    static const Normalizers normalizers = [] {
        RequireIcu();
        UErrorCode status = U_ZERO_ERROR;
        Normalizers made{QUOTAPLAN_ICU(unorm2_getNFKCCasefoldInstance)(&status),
                         QUOTAPLAN_ICU(unorm2_getNFDInstance)(&status),
                         QUOTAPLAN_ICU(unorm2_getNFCInstance)(&status)};
        // ICU's data is part of its library: failing here means a broken installation.
        ThrowOnFailure(status);
        return made;
    }();
    return normalizers;
}

std::u16string Normalized(const UNormalizer2* normalizer, const std::u16string& text) {
    const auto normalize = QUOTAPLAN_ICU(unorm2_normalize);
    std::u16string out(text.size() + 16, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = normalize(normalizer, text.data(), static_cast<int32_t>(text.size()),
                               out.data(), static_cast<int32_t>(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.assign(static_cast<std::size_t>(length), u'\0');
        status = U_ZERO_ERROR;
        length = normalize(normalizer, text.data(), static_cast<int32_t>(text.size()),
                           out.data(), static_cast<int32_t>(out.size()), &status);
    }
    ThrowOnFailure(status);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

void AppendUtf16(std::u16string& text, UChar32 code) {
    if (U16_LENGTH(code) == 1) {
        text += static_cast<char16_t>(code);
    } else {
        text += static_cast<char16_t>(U16_LEAD(code));
        text += static_cast<char16_t>(U16_TRAIL(code));
    }
}

// Calls `use` with each code point of `text`.
template <typename Use>
void ForEachCode(const std::u16string& text, Use use) {
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t k = 0; k < length;) {
        UChar32 code = 0;
        U16_NEXT(text.data(), k, length, code);
        use(code);
    }
}

}  // namespace

std::string NameKey(std::string_view name) {
    const Normalizers& normalizers = TheNormalizers();
    std::u16string text;
    for (const char32_t code : DecodeUtf8(name, PrivateCodeOf)) {
        AppendUtf16(text, static_cast<UChar32>(code));
    }
    const std::u16string decomposed =
        Normalized(normalizers.decompose, Normalized(normalizers.foldCompatible, text));
    const auto charType = QUOTAPLAN_ICU(u_charType);
    std::u16string unmarked;
    ForEachCode(decomposed, [&](UChar32 code) {
        if (charType(code) != U_NON_SPACING_MARK) AppendUtf16(unmarked, code);
    });
    const std::u16string composed = Normalized(normalizers.compose, unmarked);

    std::string key;
    bool pendingBlank = false;
    ForEachCode(composed, [&](UChar32 code) {
        if (code == U' ' || code == U'\t' || code == U'\n' || code == 0xA0) {
            pendingBlank = !key.empty();
            return;
        }
        if (pendingBlank) key += ' ';
        pendingBlank = false;
        AppendUtf8(key, static_cast<char32_t>(code));
    });
    return key;
}

bool SameName(std::string_view a, std::string_view b) { return NameKey(a) == NameKey(b); }

}  // namespace quotaplan
