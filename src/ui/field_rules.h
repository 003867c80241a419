#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// Input discipline of the contract form's single fields: what a typed character becomes
// and how a field's text is rewritten when the user leaves it. Plain text in, text out.

inline constexpr std::string_view kBackspaceKey = "\b";

// txtTasso, txtSpread: Backspace, "," and digits pass; "." becomes ","; anything else "0".
std::string RateKeyFilter(std::string_view typed);

// txtDescBene: a double quote or an apostrophe becomes a blank.
std::string DescriptionKeyFilter(std::string_view typed);

// txtResult: "." becomes ",".
std::string PointToComma(std::string_view typed);

// Leaving txtTasso or txtSpread: a number is rewritten "0.00"; anything else stays.
std::string ReformatRate(std::string_view text);

// Leaving a date field: a date is rewritten "dd/mm/yy"; anything else (empty too) stays.
std::string ReformatDate(std::string_view text);

// Leaving a fee field or txtValBene: not a number becomes "0"; then "#,##0.00".
std::string ReformatAmount(std::string_view text);

// A field "reads as 0": a number whose value is 0 (read in 32 bits when `narrow`).
bool ReadsAsZero(std::string_view text, bool narrow = true);

// A number other than 0 (read in 32 bits); texts that are not numbers are not.
bool HoldsNonZero(std::string_view text);

// Is the typed key one of those that edit a coupled amount: a digit, ",", "." or Backspace.
bool IsAmountEditKey(std::string_view typed);

}  // namespace quotaplan
