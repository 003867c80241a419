#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// Converts UTF-8 text to Windows-1252, the 8-bit code page of the exported text files: one
// byte per character, "°" is 0xB0, "€" is 0x80. A character the code page cannot hold, and
// any byte sequence that is not valid UTF-8, becomes "?", so the output always has one byte
// per character read.
std::string Utf8ToCp1252(std::string_view utf8);

// Decodes UTF-8 into Unicode code points; an invalid sequence yields U+FFFD for its first
// byte and decoding resumes at the next one.
std::u32string DecodeUtf8(std::string_view utf8);

// The Windows-1252 byte of a code point, or -1 when the code page has none.
int Cp1252Byte(char32_t codePoint);

}  // namespace quotaplan
