#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// Text comparison without regard to letter case, accented letters included ("È" equals
// "è"), as the Jet engine compared texts. Works on UTF-8; bytes that are not valid UTF-8
// are compared as they are.

// The code points of the text with every letter of the Latin, Greek and Cyrillic alphabets
// in lower case.
std::u32string FoldCase(std::string_view utf8);

// <0, 0 or >0 as a sorts before, equal to or after b once folded.
int CompareFolded(std::string_view a, std::string_view b);

// The LIKE rule on folded texts: "%" any run of characters, "_" one character, and the
// escape character (when not 0) taking the next pattern character literally.
bool LikeFolded(std::string_view pattern, std::string_view text, char32_t escape = 0);

}  // namespace quotaplan
