#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// U+FFFD, the usual stand-in for a byte that is not part of a valid UTF-8 sequence.
inline char32_t ReplacementCharacter(unsigned char) { return 0xFFFD; }

// Decodes UTF-8 into Unicode code points. A byte that does not begin a valid sequence
// (a stray continuation byte, a cut sequence, an overlong form, a surrogate, a value
// beyond Unicode) yields invalidByte(that byte), and decoding resumes at the next byte.
std::u32string DecodeUtf8(std::string_view utf8,
                          char32_t (*invalidByte)(unsigned char) = ReplacementCharacter);

}  // namespace quotaplan
