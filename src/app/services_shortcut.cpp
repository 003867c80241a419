#include "app/services_shortcut.h"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

#include "common/file_io.h"
#include "data/ini_file.h"

namespace quotaplan {

std::string ServicesShortcutText(const std::string& productIndexUrl,
                                 const std::string& productPageUrl) {
    std::string text = IniTextWithValue("", "DEFAULT", "BASEURL", productIndexUrl);
    text = IniTextWithValue(text, "InternetShortcut", "URL", productPageUrl);
    return IniTextWithValue(text, "InternetShortcut", "Modified", "103DE468B8E8C201FC");
}

void CreateServicesShortcut(const std::filesystem::path& folder, const std::string& productIndexUrl,
                            const std::string& productPageUrl) {
    const std::filesystem::path file = folder / kServicesShortcutName;
    // O_EXCL refuses any name that exists, a dangling link too, so nothing is written
    // through a link planted in the program folder.
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return;
    const bool written = WriteAll(fd, ServicesShortcutText(productIndexUrl, productPageUrl));
    if (::close(fd) != 0 || !written) ::unlink(file.c_str());
}

void EnsureServicesShortcut(const std::filesystem::path& folder, const std::string& productIndexUrl,
                            const std::string& productPageUrl) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(folder / kServicesShortcutName, error);
    // When the folder cannot even be looked at, writing into it would fail as well.
    if (std::filesystem::exists(status) || (error && error != std::errc::no_such_file_or_directory))
        return;
    CreateServicesShortcut(folder, productIndexUrl, productPageUrl);
}

}  // namespace quotaplan
