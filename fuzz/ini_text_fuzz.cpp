// The INI text reader and writer on any text: a value written is read back as written, and
// writing it changes no other value.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "data/ini_file.h"
#include "fuzz_check.h"

namespace {

// A section or key name as the program uses them: letters and digits.
std::string Name(FuzzedDataProvider& input) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string name(input.ConsumeIntegralInRange<std::size_t>(1, 12), 'A');
    for (auto& c : name) c = kLetters[input.ConsumeIntegralInRange<std::size_t>(0, 61)];
    return name;
}

// A value as a configuration holds it: no control characters, and neither the blanks nor
// the pair of enclosing quotes that reading takes away.
std::string Value(FuzzedDataProvider& input) {
    std::string value = input.ConsumeRandomLengthString(300);
    for (auto& c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '_';
    }
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    while (!value.empty() && value.back() == ' ') value.pop_back();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) value.back() = '.';
    return value;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quotaplan;
    FuzzedDataProvider input(data, size);
    const std::string section = Name(input);
    const std::string key = Name(input);
    const std::string otherSection = Name(input);
    const std::string otherKey = Name(input);
    const std::string value = Value(input);
    const std::string text = input.ConsumeRemainingBytesAsString();

    FUZZ_CHECK(IniValueFromText(text, section, key).size() <= kIniValueMaxLength);
    const std::string written = IniTextWithValue(text, section, key, value);
    FUZZ_CHECK(IniValueFromText(written, section, key) == value.substr(0, kIniValueMaxLength));
    if (!SameName(key, otherKey)) {
        FUZZ_CHECK(IniValueFromText(written, section, otherKey) ==
                   IniValueFromText(text, section, otherKey));
    }
    if (!SameName(section, otherSection)) {
        FUZZ_CHECK(IniValueFromText(written, otherSection, key) ==
                   IniValueFromText(text, otherSection, key));
    }
    return 0;
}
