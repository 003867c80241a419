#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quotaplan {

// The character of a Windows-1252 byte; U+FFFD for the five bytes the code page leaves
// unused.
char32_t Cp1252CodePoint(unsigned char byte);

// Whether the bytes are valid UTF-8 throughout.
bool IsUtf8Text(std::string_view bytes);

// Bytes read as Windows-1252, one character a byte, as UTF-8.
std::string Cp1252TextAsUtf8(std::string_view bytes);

// Text told by the byte-order mark it starts with, as UTF-8: UTF-8 with its mark (dropped),
// UTF-16 little- or big-endian (what Windows Notepad and Excel save as "Unicode"),
// converted. nullopt when the bytes start with no mark.
std::optional<std::string> MarkedTextAsUtf8(std::string_view bytes);

// A data file's text as UTF-8, whatever a spreadsheet or editor saved it as: told by its
// byte-order mark; without one, as it is when it is valid UTF-8, otherwise read as
// Windows-1252 (what Excel writes for "CSV" on an Italian Windows), so that "attività"
// is stored as the same word and not as bytes no one can read back. Always valid UTF-8:
// bytes that break the encoding a mark names become U+FFFD.
std::string DataFileTextAsUtf8(std::string_view bytes);

}  // namespace quotaplan
