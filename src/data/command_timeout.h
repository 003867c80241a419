#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace quotaplan {

// How long an ordinary command waits for the archive's server when Quotaplan.ini does not say.
inline constexpr std::chrono::seconds kDefaultCommandTimeout{30};
// The longest timeout Quotaplan.ini may set: a day.
inline constexpr std::chrono::seconds kLongestCommandTimeout{86400};

// The command timeout the configuration sets, or why it cannot be used.
struct ConfiguredTimeout {
    std::chrono::seconds limit = kDefaultCommandTimeout;
    std::string failure;  // the Italian message naming the INI file, or ""
};

// Key "TIMEOUT" of section "DATABASE" of "Quotaplan.ini" in the program folder: whole seconds
// from 0 (no limit) to 86400. A missing key, or an INI file that is missing or cannot be read,
// gives 30 seconds (ConfiguredArchivePath speaks for an unreadable file); anything else there
// (a fraction, a unit, a sign) is a failure, never a silent default.
ConfiguredTimeout ConfiguredCommandTimeout(const std::filesystem::path& programFolder);

}  // namespace quotaplan
