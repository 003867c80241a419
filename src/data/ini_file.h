#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/file_io.h"

namespace quotaplan {

// The longest value an INI read returns; longer values are cut.
inline constexpr std::size_t kIniValueMaxLength = 255;
// The largest INI file read at all: a configuration of a few lines, with room to spare.
inline constexpr std::size_t kIniFileMaxBytes = 64 * 1024;

// The bytes of an INI file as UTF-8 text, told by the byte-order mark the file starts
// with: UTF-8 with its mark (dropped), UTF-16 little- or big-endian (what Windows Notepad
// saves as "Unicode"), converted. Bytes without a mark are returned as they are.
std::string IniTextAsUtf8(std::string_view bytes);

// The value of a key in the INI file's bytes (read as IniTextAsUtf8 says), with the rules of
// the Windows profile functions: section and key compared without regard to letter case,
// the first match wins, the value trimmed of blanks (and of one pair of enclosing quotes)
// and cut at 255 characters. Lines starting with ";" are comments. Returns "" when the
// section or the key is missing. Any bytes are accepted.
std::string IniValueFromText(std::string_view bytes, std::string_view section,
                             std::string_view key);

// The INI text with one value written: the first entry of the key in the section replaced,
// or the entry appended at the end of the section, or the section appended at the end.
// Everything else stays as it was, but the text is written as UTF-8 without a byte-order
// mark; lines end in CR LF.
std::string IniTextWithValue(std::string_view bytes, std::string_view section,
                             std::string_view key, std::string_view value);

// Reads an INI file as ReadBoundedFile does, up to kIniFileMaxBytes.
FileReadResult ReadIniFile(const std::filesystem::path& file);

// ReadIniValue: IniValueFromText on the file's text; "" when the file is missing or cannot
// be read.
std::string ReadIniValue(const std::filesystem::path& file, std::string_view section,
                         std::string_view key);

}  // namespace quotaplan
