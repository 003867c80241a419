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

// Appends the UTF-8 form of one code point; one beyond Unicode or a surrogate appends U+FFFD.
void AppendUtf8(std::string& out, char32_t code);

enum class ByteOrder { LittleEndian, BigEndian };

// Decodes UTF-16 bytes of the given order (without their byte-order mark) into UTF-8. A
// surrogate without its partner, or an odd byte at the end, yields U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, ByteOrder order);

}  // namespace quotaplan
