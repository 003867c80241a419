#include "data/connection.h"

#include <system_error>

#include "data/ini_file.h"

namespace quotaplan {

std::filesystem::path ConfiguredArchivePath(const std::filesystem::path& programFolder) {
    // The INI path is the folder and "/Quotaplan.ini" joined as text, as the folder reads.
    const std::filesystem::path ini = programFolder.string() + "/" + kIniFileName;
    std::string folder = ReadIniValue(ini, "DATABASE", "PATH");
    std::string file = ReadIniValue(ini, "DATABASE", "FILE");
    if (folder.empty()) folder = programFolder.string();
    if (file.empty()) file = kDefaultArchiveName;
    std::filesystem::path configured = folder + "/" + file;
    std::error_code error;
    if (!std::filesystem::is_regular_file(configured, error)) {
        configured = programFolder.string() + "/" + kDefaultArchiveName;
    }
    return configured;
}

std::optional<Database> ADO_connConnectDB(const std::filesystem::path& databasePath,
                                          std::string_view, std::string_view, MessageBoxes& boxes,
                                          int busyTimeoutMs) {
    try {
        return Database::Open(databasePath, busyTimeoutMs);
    } catch (const DatabaseError& failure) {
        ReportError(boxes, "ADO_connConnectDB", failure.Description(), "");
    } catch (const std::exception& failure) {
        ReportError(boxes, "ADO_connConnectDB", failure.what(), "");
    }
    return std::nullopt;
}

std::optional<Database> OpenDatabase(const std::filesystem::path& programFolder,
                                     MessageBoxes& boxes) {
    return ADO_connConnectDB(ConfiguredArchivePath(programFolder), "", "", boxes);
}

void CloseDatabase(std::optional<Database>& connection) { connection.reset(); }

}  // namespace quotaplan
