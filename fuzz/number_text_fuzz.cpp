// The Italian number readers on any text: they agree with each other, raise nothing but
// their run-time errors 13 and 6, and read back what the formatter shows.

#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "common/number_text.h"
#include "common/run_time_error.h"
#include "fuzz_check.h"

namespace quotaplan {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Runs a reader; nullopt when it raised its run-time error, which must be 13 or 6.
template <typename Reader>
auto Guarded(Reader read) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const RunTimeError& error) {
        FUZZ_CHECK(error.Number() == 13 || error.Number() == 6);
        return std::nullopt;
    }
}

void CheckReaders(std::string_view text) {
    const bool isNumber = IsNumberText(text);
    const std::optional<double> parsed = TryParseNumber(text);
    FUZZ_CHECK(!parsed || isNumber);

    const auto read64 = Guarded([&] { return ParseNumber64(text); });
    FUZZ_CHECK(read64.has_value() == parsed.has_value());
    if (parsed) FUZZ_CHECK(SameBits(*read64, *parsed) && std::isfinite(*parsed));
    const auto read32 = Guarded([&] { return ParseNumber32(text); });
    if (read32) FUZZ_CHECK(isNumber && std::isfinite(*read32));
    if (const auto whole = Guarded([&] { return ParseInteger16(text); })) {
        FUZZ_CHECK(parsed && std::fabs(*whole - *parsed) <= 0.5);
    }
    if (const auto leading = Guarded([&] { return LeadingNumber(text); })) {
        FUZZ_CHECK(std::isfinite(*leading));
    }
    // A text is formatted as the number it reads as, or comes back unchanged.
    const std::string shown = FormatNumber(text, 1);
    FUZZ_CHECK(parsed || shown == text);

    if (parsed && std::fabs(*parsed) < 1e15) {
        // What the amount fields show reads back as the number the text stands for.
        const std::string amount = FormatNumber(*parsed, 1);
        FUZZ_CHECK(IsNumberText(amount));
        FUZZ_CHECK(SameBits(ParseNumber64(amount), RoundAsShown(*parsed, 2)));
    }
}

}  // namespace
}  // namespace quotaplan

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quotaplan::CheckReaders(quotaplan::fuzz::AsText(data, size));
    return 0;
}
