#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/message_boxes.h"
#include "common/program_folder.h"
#include "data/database.h"

namespace quotaplan {

// Where the configuration puts the archive, or why the configuration cannot be read.
struct ArchiveLocation {
    std::filesystem::path path;  // the SQLite file; empty for a server or a failure
    std::string conninfo;        // DRIVER=postgresql: the libpq connection string, else ""
    std::string failure;         // the Italian message naming the INI file, or ""
};

// The archive the configuration names: section "DATABASE" of "Quotaplan.ini" in the
// program folder, key "PATH" (folder, default the program folder; a relative one counts
// from the program folder) and key "FILE" (default "Quotaplan.mdb"). When nothing at all
// bears the configured name, both fall back to "Quotaplan.mdb" in the program folder, even
// when only one of them was configured; anything else there (a FIFO, a device, a folder)
// is left for the open to refuse. A missing INI file means the defaults; one that exists
// but cannot be read (not a regular file, over 64 KiB, a link to nothing, no permission)
// is a failure, never a silent fallback to the default archive.
// With key "DRIVER=postgresql" the archive is on a PostgreSQL server instead, reached with
// key "CONNINFO" (a libpq connection string or URI; the password comes from ~/.pgpass or the
// environment, never from this file); PATH and FILE are then not read. "DRIVER=sqlite" or
// no DRIVER is the archive file; another DRIVER, or a server without CONNINFO, is a failure.
ArchiveLocation ConfiguredArchivePath(const std::filesystem::path& programFolder);

// Opens the archive at the path (user name and password are accepted and ignored: an
// SQLite file has none), or connects to the PostgreSQL archive a "postgresql://" URI names;
// checks that it holds the tables supTipologia, tabContratti and tabPDA, and brings an older
// writable archive up to date (UpgradeArchive). On failure shows one critical box whose text
// is the error's description, a line feed, "Indirizzo errore: ADO_connConnectDB", under the
// default title, and returns nullopt.
std::optional<Database> ADO_connConnectDB(const std::filesystem::path& databasePath,
                                          std::string_view userName, std::string_view password,
                                          MessageBoxes& boxes,
                                          int busyTimeoutMs = kDefaultBusyTimeoutMs);

// The location an archive name stands for: a "postgresql://" URI or a file.
ArchiveLocation LocationOfAddress(const std::string& address);

// Opens the file or connects to the server, without looking for the archive's tables (a new
// archive has none yet). Throws DatabaseError as Database::Open and Database::Connect do.
Database OpenUnchecked(const ArchiveLocation& location, int busyTimeoutMs = kDefaultBusyTimeoutMs);

// Opens or connects to the archive of the location as ADO_connConnectDB does; the
// connection's statements then run under the command timeout (Database::SetCommandTimeout;
// zero: none), except those of the upgrade.
std::optional<Database> OpenArchive(const ArchiveLocation& location, MessageBoxes& boxes,
                                    int busyTimeoutMs = kDefaultBusyTimeoutMs,
                                    std::chrono::seconds commandTimeout = {});

// Opens the archive an ordinary command of the program works on, as OpenArchive does: on a
// server, under the command timeout of the configuration in the program folder
// (ConfiguredCommandTimeout); nullopt after a failure has been reported (a TIMEOUT that
// cannot be used: its message, a line feed, "Indirizzo errore: OpenDatabase").
std::optional<Database> OpenWorkingArchive(const ArchiveLocation& location,
                                           const std::filesystem::path& programFolder,
                                           MessageBoxes& boxes);

// Reads the configuration and opens the configured archive (ConfiguredArchivePath) with
// OpenWorkingArchive; the connection, or nullopt after the failure has been reported (a
// configuration that cannot be read: its message, a line feed, "Indirizzo errore:
// OpenDatabase").
std::optional<Database> OpenDatabase(const std::filesystem::path& programFolder,
                                     MessageBoxes& boxes);

// Closes and releases the connection.
void CloseDatabase(std::optional<Database>& connection);

}  // namespace quotaplan
