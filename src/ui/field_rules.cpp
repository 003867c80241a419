#include "ui/field_rules.h"

#include "common/date_text.h"
#include "common/number_text.h"

namespace quotaplan {
namespace {

bool IsDigit(std::string_view typed) {
    return typed.size() == 1 && typed[0] >= '0' && typed[0] <= '9';
}

std::optional<float> Read32(std::string_view text) {
    if (!IsNumberText(text)) return std::nullopt;
    try {
        return ParseNumber32(text);
    } catch (...) {
        return std::nullopt;  // beyond the 32-bit range: the step is skipped
    }
}

}  // namespace

std::string RateKeyFilter(std::string_view typed) {
    if (typed == kBackspaceKey || typed == "," || IsDigit(typed)) return std::string(typed);
    if (typed == ".") return ",";
    return "0";
}

std::string DescriptionKeyFilter(std::string_view typed) {
    if (typed == "\"" || typed == "'") return " ";
    return std::string(typed);
}

std::string PointToComma(std::string_view typed) {
    return typed == "." ? std::string(",") : std::string(typed);
}

std::string ReformatRate(std::string_view text) {
    const auto value = Read32(text);
    return value ? FormatNumber(*value, 2) : std::string(text);
}

std::string ReformatDate(std::string_view text) {
    const auto date = ReadDateText(text);
    return date ? FormatDate(*date, 1) : std::string(text);
}

std::string ReformatAmount(std::string_view text) {
    if (!IsNumberText(text)) return FormatNumber(0.0, 1);
    return FormatNumber(text, 1);
}

bool ReadsAsZero(std::string_view text, bool narrow) {
    if (!IsNumberText(text)) return false;
    if (narrow) {
        const auto value = Read32(text);
        return value && *value == 0.0f;
    }
    const auto value = TryParseNumber(text);
    return value && *value == 0.0;
}

bool HoldsNonZero(std::string_view text) {
    const auto value = Read32(text);
    return value && *value != 0.0f;
}

bool IsAmountEditKey(std::string_view typed) {
    return IsDigit(typed) || typed == "," || typed == "." || typed == kBackspaceKey;
}

}  // namespace quotaplan
