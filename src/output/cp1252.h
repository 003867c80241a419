#pragma once

#include <string>
#include <string_view>

#include "common/utf8.h"

namespace quotaplan {

// Converts UTF-8 text to Windows-1252, the 8-bit code page of the exported text files: one
// byte per character, "°" is 0xB0, "€" is 0x80. A character the code page cannot hold, and
// any byte sequence that is not valid UTF-8, becomes "?", so the output always has one byte
// per character read.
std::string Utf8ToCp1252(std::string_view utf8);

// The Windows-1252 byte of a code point, or -1 when the code page has none.
int Cp1252Byte(char32_t codePoint);

}  // namespace quotaplan
