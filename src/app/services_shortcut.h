#pragma once

#include <filesystem>
#include <string>

namespace quotaplan {

inline constexpr const char* kServicesShortcutName = "Servizi.url";

// CreateServicesShortcut: writes the Internet shortcut "Servizi.url" into the folder,
// one INI write per entry in this order: [DEFAULT] BASEURL=productIndexUrl,
// [InternetShortcut] URL=productPageUrl and Modified=103DE468B8E8C201FC. A folder that
// cannot be written is tolerated silently (the next start tries again).
void CreateServicesShortcut(const std::filesystem::path& folder, const std::string& productIndexUrl,
                            const std::string& productPageUrl);

// The start-up step: the shortcut is written only when the folder holds none, so a file
// the user edited stays as it is.
void EnsureServicesShortcut(const std::filesystem::path& folder, const std::string& productIndexUrl,
                            const std::string& productPageUrl);

}  // namespace quotaplan
