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
// The settings are read from SettingsFileOf(programFolder): for an installed program whose
// user has no Quotaplan.ini, the office's; a relative PATH there still counts from the
// user's folder.
ArchiveLocation ConfiguredArchivePath(const std::filesystem::path& programFolder);

// The same with the settings read from the given file.
ArchiveLocation ConfiguredArchivePath(const std::filesystem::path& programFolder,
                                      const std::filesystem::path& settingsFile);

// What a command means to do with the archive it opens.
enum class ArchiveAccess {
    Writing,  // may save: an older archive is brought up to date when the role may do so
    Reading,  // only reads: the archive is never changed, and every write is refused (3720)
};

// Opens the archive at the path (user name and password are accepted and ignored: an
// SQLite file has none), or connects to the PostgreSQL archive a server address names
// (LocationOfAddress); checks that it holds the tables supTipologia, tabContratti and
// tabPDA; for Writing brings an older writable archive up to date (UpgradeArchive, whose
// notice of names kept under one key is shown once as a message). On failure shows one
// critical box whose text is the error's description, a line feed, "Indirizzo errore:
// ADO_connConnectDB", under the default title, and returns nullopt.
std::optional<Database> ADO_connConnectDB(const std::filesystem::path& databasePath,
                                          std::string_view userName, std::string_view password,
                                          MessageBoxes& boxes,
                                          int busyTimeoutMs = kDefaultBusyTimeoutMs,
                                          ArchiveAccess access = ArchiveAccess::Writing);

// The location an archive name stands for: a server address (IsServerAddress: a
// "postgresql://" or "postgres://" URI in any letter case, or a libpq key=value string) or
// a file.
ArchiveLocation LocationOfAddress(const std::string& address);

// Opens the file or connects to the server, without looking for the archive's tables (a new
// archive has none yet). Throws DatabaseError as Database::Open and Database::Connect do.
Database OpenUnchecked(const ArchiveLocation& location, int busyTimeoutMs = kDefaultBusyTimeoutMs);

// Opens or connects to the archive of the location as ADO_connConnectDB does; the
// connection's statements then run under the command timeout (Database::SetCommandTimeout;
// zero: none), except those of the upgrade.
std::optional<Database> OpenArchive(const ArchiveLocation& location, MessageBoxes& boxes,
                                    int busyTimeoutMs = kDefaultBusyTimeoutMs,
                                    ArchiveAccess access = ArchiveAccess::Writing,
                                    std::chrono::seconds commandTimeout = {});

// Opens or connects to the archive of the location only to read it, as the source of a
// copy: an archive file is opened read-only, and neither engine's archive is brought up to
// date (an older archive is read as it is). Checks and reports as OpenArchive does; no
// command timeout.
std::optional<Database> OpenArchiveToRead(const ArchiveLocation& location, MessageBoxes& boxes);

// Opens the archive an ordinary command of the program works on, as OpenArchive does: on a
// server, under the command timeout of the configuration in the program folder
// (ConfiguredCommandTimeout); nullopt after a failure has been reported (a TIMEOUT that
// cannot be used: its message, a line feed, "Indirizzo errore: OpenDatabase").
std::optional<Database> OpenWorkingArchive(const ArchiveLocation& location,
                                           const std::filesystem::path& programFolder,
                                           MessageBoxes& boxes,
                                           ArchiveAccess access = ArchiveAccess::Writing);

// Reads the configuration and opens the configured archive (ConfiguredArchivePath) with
// OpenWorkingArchive; the connection, or nullopt after the failure has been reported (a
// configuration that cannot be read: its message, a line feed, "Indirizzo errore:
// OpenDatabase").
std::optional<Database> OpenDatabase(const std::filesystem::path& programFolder,
                                     MessageBoxes& boxes,
                                     ArchiveAccess access = ArchiveAccess::Writing);

// Closes and releases the connection.
void CloseDatabase(std::optional<Database>& connection);

}  // namespace quotaplan
