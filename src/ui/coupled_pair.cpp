#include "ui/coupled_pair.h"

#include <cmath>
#include <optional>

#include "common/number_text.h"
#include "ui/field_rules.h"

namespace quotaplan {
namespace {

std::optional<float> Read32(std::string_view text) {
    if (!IsNumberText(text)) return std::nullopt;
    try {
        return ParseNumber32(text);
    } catch (...) {
        return std::nullopt;
    }
}

// The leave rules stand still without a usable asset value. A text that is not a number
// counts as unusable too: computing from it would leave a stale percentage on screen.
std::optional<double> UsableAssetValue(std::string_view text) {
    if (!IsNumberText(text)) return std::nullopt;
    const auto value = TryParseNumber(text);
    if (!value || static_cast<float>(*value) == 0.0f) return std::nullopt;
    return value;
}

// Rounds to 6 decimals, halves to even, for the tooltip's "effective" percentage.
double RoundSixHalfEven(double value) {
    const double scaled = value * 1e6;
    return std::nearbyint(scaled) / 1e6;  // default rounding mode: to nearest, ties to even
}

}  // namespace

void AmountEdited(CoupledPair& pair) {
    pair.amountChanged = true;
    if (HoldsNonZero(pair.percentText)) pair.percentText = "0";
    pair.percentTooltip.clear();
}

std::string PercentKeyTyped(CoupledPair& pair, std::string_view typed, bool assetValueTarget) {
    if (assetValueTarget) return std::string(typed);
    const bool point = typed == ".";
    const bool editKey = point || (typed.size() == 1 && typed[0] >= '0' && typed[0] <= '9') ||
                         typed == kBackspaceKey || typed == "\x7f";
    if (editKey) {
        pair.percentChanged = true;
        if (HoldsNonZero(pair.amountText)) pair.amountText = "0";
        pair.percentTooltip.clear();
    }
    return point ? std::string(",") : std::string(typed);
}

void LeaveAmount(CoupledPair& pair, std::string_view assetValueText, bool assetValueTarget) {
    if (assetValueTarget) return;
    const auto assetValue = UsableAssetValue(assetValueText);
    if (!assetValue) return;
    const auto amount = Read32(pair.amountText);
    if (!amount) {
        pair.amountText = "0";
        return;
    }
    if (*amount == 0.0f) return;
    pair.amountText = FormatNumber(*amount, 1);
    if (pair.storedAmount == 0 || pair.amountChanged) pair.storedAmount = *amount;
    const float hundredth = static_cast<float>(*assetValue / 100.0);
    const float percent = static_cast<float>(pair.storedAmount / hundredth);
    pair.storedPercent = percent;
    pair.percentText = FormatNumber(percent, 2);
    pair.amountText = FormatNumber(pair.storedAmount, 1);
    pair.amountChanged = false;
    if (!pair.percentChanged) {
        pair.percentTooltip =
            std::string(pair.amountTooltipPrefix) + GeneralText(RoundSixHalfEven(percent));
    }
}

void LeavePercent(CoupledPair& pair, std::string_view assetValueText, bool assetValueTarget) {
    if (assetValueTarget) return;
    const auto assetValue = UsableAssetValue(assetValueText);
    if (!assetValue) return;
    const auto typedPercent = Read32(pair.percentText);
    if (!typedPercent) {
        pair.percentText = "0";
        pair.amountText = "0";
        return;
    }
    if (ReadsAsZero(pair.amountText) && *typedPercent == 0.0f) return;
    pair.percentText = FormatNumber(*typedPercent, 2);
    if (pair.storedPercent == 0 || pair.percentChanged) {
        // Read back from the field as now shown, two decimals.
        pair.storedPercent = Read32(pair.percentText).value_or(*typedPercent);
    }
    const double assetValue32 = static_cast<float>(*assetValue);
    pair.storedAmount = assetValue32 * pair.storedPercent / 100.0;
    pair.amountText = FormatNumber(pair.storedAmount, 1);
    pair.percentText = FormatNumber(pair.storedPercent, 2);
    if (pair.percentChanged) {
        pair.percentTooltip =
            std::string(kMaxiTooltipPrefix) + FormatNumber(std::string_view(pair.percentText), 2);
    }
    pair.percentChanged = false;
}

void BringIntoStep(CoupledPair& pair, std::string_view assetValueText, bool assetValueTarget) {
    const auto amount = Read32(pair.amountText).value_or(0.0f);
    const auto percent = Read32(pair.percentText).value_or(0.0f);
    if (amount == 0.0f && percent != 0.0f) {
        LeavePercent(pair, assetValueText, assetValueTarget);
    } else if (percent == 0.0f && amount != 0.0f) {
        LeaveAmount(pair, assetValueText, assetValueTarget);
    }
}

}  // namespace quotaplan
