#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// An amount and its percentage of the asset value, kept in step: the maxi-instalment
// (txtMaxi / txtPercMaxi) or the buy-out (txtRiscatto / txtPercRiscatto). Holds the two
// field texts, the percentage's tooltip, the more precise stored values and the flags that
// say which side the user typed into since the last recomputation.
struct CoupledPair {
    std::string amountText = "0";
    std::string percentText = "0";
    std::string percentTooltip;
    double storedAmount = 0;   // dMaxi / dRiscatto
    double storedPercent = 0;  // dPercMaxi / dPercRiscatto
    bool amountChanged = false;
    bool percentChanged = false;
    // The tooltip's lead-in after leaving the amount; the buy-out's starts with a blank.
    std::string_view amountTooltipPrefix = "Percentuale effettiva : ";
};

inline constexpr std::string_view kMaxiTooltipPrefix = "Percentuale effettiva : ";
inline constexpr std::string_view kRiscattoTooltipPrefix = " Percentuale effettiva : ";

// The buy-out pair: its amount tooltip starts with a blank.
inline CoupledPair BuyoutPair() {
    CoupledPair pair;
    pair.amountTooltipPrefix = kRiscattoTooltipPrefix;
    return pair;
}

// A key that edits the amount (digit, ",", ".", Backspace, Delete) was typed into the amount
// field, or into the asset value: the amount now counts; a non-zero percentage becomes "0".
void AmountEdited(CoupledPair& pair);

// A key typed into the percentage field. Returns the character to enter ("." becomes ",").
// A digit, the point, Backspace or Delete make the percentage count: a non-zero amount
// becomes "0". With the asset-value target the field is locked and nothing happens.
std::string PercentKeyTyped(CoupledPair& pair, std::string_view typed, bool assetValueTarget);

// Leaving the amount field: formats it and recomputes the percentage from the amount (the
// stored one when the user did not retype it) and the asset value. Does nothing with the
// asset-value target or an asset value that is 0 or not a number; an amount that is not a
// number becomes "0".
void LeaveAmount(CoupledPair& pair, std::string_view assetValueText, bool assetValueTarget);

// Leaving the percentage field: formats it and recomputes the amount from it and the asset
// value. Same guards as LeaveAmount; a percentage that is not a number zeroes both sides.
void LeavePercent(CoupledPair& pair, std::string_view assetValueText, bool assetValueTarget);

// The Calculate command's step: when one side is 0 and the other is not, the leave rule of
// the side that is set runs, so that both sides agree.
void BringIntoStep(CoupledPair& pair, std::string_view assetValueText, bool assetValueTarget);

}  // namespace quotaplan
