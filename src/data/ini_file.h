#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quotaplan {

// The longest value ReadIniValue returns; longer values are cut.
inline constexpr std::size_t kIniValueMaxLength = 255;

// Reads one value of an INI file with the rules of the Windows profile functions: section
// and key compared without regard to letter case, the first match wins, the value trimmed
// of blanks (and of one pair of enclosing quotes) and cut at 255 characters. Lines starting
// with ";" are comments. Returns "" when the file, the section or the key is missing.
std::string ReadIniValue(const std::filesystem::path& file, std::string_view section,
                         std::string_view key);

// Writes one value: replaces the first entry of the key in the section, or appends the
// entry at the end of the section, or appends the section at the end of the file; creates
// the file when missing. Everything else in the file stays as it was. Returns false when
// the file cannot be written (nothing is reported).
bool WriteIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value);

}  // namespace quotaplan
