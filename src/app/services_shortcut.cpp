#include "app/services_shortcut.h"

#include <system_error>

#include "data/ini_file.h"

namespace quotaplan {

void CreateServicesShortcut(const std::filesystem::path& folder, const std::string& productIndexUrl,
                            const std::string& productPageUrl) {
    const std::filesystem::path file = folder / kServicesShortcutName;
    // Each write fails alone on a read-only folder; nothing is reported.
    WriteIniValue(file, "DEFAULT", "BASEURL", productIndexUrl);
    WriteIniValue(file, "InternetShortcut", "URL", productPageUrl);
    WriteIniValue(file, "InternetShortcut", "Modified", "103DE468B8E8C201FC");
}

void EnsureServicesShortcut(const std::filesystem::path& folder, const std::string& productIndexUrl,
                            const std::string& productPageUrl) {
    std::error_code error;
    const bool present = std::filesystem::exists(folder / kServicesShortcutName, error);
    // When the folder cannot even be looked at, writing into it would fail as well.
    if (present || error) return;
    CreateServicesShortcut(folder, productIndexUrl, productPageUrl);
}

}  // namespace quotaplan
