#pragma once

#include <filesystem>
#include <string>

#include "common/program_folder.h"

namespace quotaplan {

// The text of the Internet shortcut, one INI write per entry in this order:
// [DEFAULT] BASEURL=productIndexUrl, [InternetShortcut] URL=productPageUrl and
// Modified=103DE468B8E8C201FC.
std::string ServicesShortcutText(const std::string& productIndexUrl,
                                 const std::string& productPageUrl);

// CreateServicesShortcut: writes "Servizi.url" into the folder as a new file. Anything
// already bearing the name, a symbolic link included (even one that leads nowhere), is
// left alone and never written through. A folder that cannot be written is tolerated
// silently, and a write that fails midway leaves no file, so the next start tries again.
void CreateServicesShortcut(const std::filesystem::path& folder, const std::string& productIndexUrl,
                            const std::string& productPageUrl);

// The start-up step: the shortcut is written only when the folder holds none, so a file
// the user edited stays as it is.
void EnsureServicesShortcut(const std::filesystem::path& folder, const std::string& productIndexUrl,
                            const std::string& productPageUrl);

}  // namespace quotaplan
