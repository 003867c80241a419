#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "common/message_boxes.h"
#include "data/database.h"

namespace quotaplan {

inline constexpr const char* kIniFileName = "Quotaplan.ini";
inline constexpr const char* kDefaultArchiveName = "Quotaplan.mdb";

// The archive the configuration names: section "DATABASE" of "Quotaplan.ini" in the
// program folder, key "PATH" (folder, default the program folder) and key "FILE" (default
// "Quotaplan.mdb"). When no file exists there, both fall back to "Quotaplan.mdb" in the
// program folder, even when only one of them was configured.
std::filesystem::path ConfiguredArchivePath(const std::filesystem::path& programFolder);

// Opens the archive at the path (user name and password are accepted and ignored: an
// SQLite file has none). On failure shows one critical box whose text is the error's
// description, a line feed, "Indirizzo errore: ADO_connConnectDB", under the default
// title, and returns nullopt.
std::optional<Database> ADO_connConnectDB(const std::filesystem::path& databasePath,
                                          std::string_view userName, std::string_view password,
                                          MessageBoxes& boxes,
                                          int busyTimeoutMs = kDefaultBusyTimeoutMs);

// Reads the configuration and opens the configured archive (ConfiguredArchivePath); the
// connection, or nullopt after the failure has been reported.
std::optional<Database> OpenDatabase(const std::filesystem::path& programFolder,
                                     MessageBoxes& boxes);

// Closes and releases the connection.
void CloseDatabase(std::optional<Database>& connection);

}  // namespace quotaplan
