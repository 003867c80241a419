#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// The key under which two names are "the same name" on every engine and in every file the
// program reads: what a reader of the contract tree takes for one name. The UTF-8 name is
// folded to NFKC_Casefold (letter case, compatibility forms: "Straße" = "STRASSE", "ﬁne" =
// "fine", "Ａ" = "A", the Kelvin sign = "K"), then decomposed (NFD) with its combining marks
// removed and composed again (NFC), so accents do not count ("Màcchina" = "macchina"); tab,
// line feed and no-break space become a space, runs of spaces one space, and the key is
// trimmed. Bytes that are not UTF-8 stay distinct from each other (each stands for a
// private-use character of its own), so no two unreadable names share a key by accident.
std::string NameKey(std::string_view name);

// True when the two names have the same NameKey.
bool SameName(std::string_view a, std::string_view b);

}  // namespace quotaplan
