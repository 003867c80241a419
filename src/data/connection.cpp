#include "data/connection.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include "data/archive_upgrade.h"
#include "data/command_timeout.h"
#include "data/ini_file.h"
#include "data/postgres_engine.h"
#include "data/server_address.h"
#include "data/text_fold.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;

std::string UnreadableIniMessage(const fs::path& ini, const FileReadResult& read) {
    std::string reason;
    switch (read.status) {
        case FileReadStatus::NotRegular:
            reason = "non è un file normale";
            break;
        case FileReadStatus::TooLarge:
            reason = "supera i " + std::to_string(kIniFileMaxBytes / 1024) + " KiB";
            break;
        case FileReadStatus::BrokenLink:
            reason = "è un collegamento a un file che non esiste";
            break;
        default:
            reason = read.error == EACCES || read.error == EPERM ? "accesso negato"
                                                                 : "errore di lettura";
            break;
    }
    return "Impossibile leggere il file di configurazione " + ini.string() + ": " + reason + ".";
}

// The tables every command of the program reads; a file without them is some other
// program's database.
constexpr std::array<const char*, 3> kRequiredTables = {"supTipologia", "tabContratti", "tabPDA"};

void RequireArchiveTables(Database& db) {
    const auto names = db.TableNames();
    std::vector<std::string> missing;
    for (const char* required : kRequiredTables) {
        const bool present = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return CompareFolded(name, required) == 0;
        });
        if (!present) missing.emplace_back(required);
    }
    if (missing.empty()) return;
    std::string list;
    for (const auto& name : missing) list += (list.empty() ? "" : ", ") + name;
    throw DatabaseError(kErrReadFile, "Il database non è un archivio di Quotaplan (" +
                                          std::string(missing.size() == 1 ? "manca la tabella "
                                                                          : "mancano le tabelle ") +
                                          list + "). " + db.Location());
}

}  // namespace

ArchiveLocation ConfiguredArchivePath(const fs::path& programFolder) {
    return ConfiguredArchivePath(programFolder, SettingsFileOf(programFolder));
}

ArchiveLocation ConfiguredArchivePath(const fs::path& programFolder, const fs::path& ini) {
    const FileReadResult read = ReadIniFile(ini);
    if (read.status != FileReadStatus::Read && read.status != FileReadStatus::Missing) {
        return {{}, {}, UnreadableIniMessage(ini, read)};
    }
    const std::string driver = IniValueFromText(read.bytes, "DATABASE", "DRIVER");
    if (CompareFolded(driver, "postgresql") == 0) {
        std::string conninfo = IniValueFromText(read.bytes, "DATABASE", "CONNINFO");
        if (conninfo.empty()) {
            return {{}, {}, "Nel file di configurazione " + ini.string() +
                                " manca CONNINFO, la connessione al server PostgreSQL."};
        }
        return {{}, std::move(conninfo), ""};
    }
    if (!driver.empty() && CompareFolded(driver, "sqlite") != 0) {
        return {{}, {}, "Nel file di configurazione " + ini.string() + " il DRIVER \"" + driver +
                            "\" non è previsto (sqlite o postgresql)."};
    }
    fs::path folder = IniValueFromText(read.bytes, "DATABASE", "PATH");
    std::string file = IniValueFromText(read.bytes, "DATABASE", "FILE");
    if (folder.empty()) folder = programFolder;
    // Relative to the program, not to wherever the program happened to be started from.
    if (folder.is_relative()) folder = programFolder / folder;
    if (file.empty()) file = kDefaultArchiveName;
    const fs::path configured = folder.string() + "/" + file;
    std::error_code error;
    if (fs::symlink_status(configured, error).type() == fs::file_type::not_found) {
        return {programFolder.string() + "/" + kDefaultArchiveName, "", ""};
    }
    return {configured, "", ""};
}

ArchiveLocation LocationOfAddress(const std::string& address) {
    if (IsServerAddress(address)) return {{}, address, ""};
    return {address, "", ""};
}

Database OpenUnchecked(const ArchiveLocation& location, int busyTimeoutMs) {
    return location.conninfo.empty() ? Database::Open(location.path, busyTimeoutMs)
                                     : Database::Connect(location.conninfo, busyTimeoutMs);
}

std::optional<Database> ADO_connConnectDB(const fs::path& databasePath, std::string_view,
                                          std::string_view, MessageBoxes& boxes,
                                          int busyTimeoutMs, ArchiveAccess access) {
    return OpenArchive(LocationOfAddress(databasePath.string()), boxes, busyTimeoutMs, access);
}

namespace {

// The archive `open` gives; nullopt once its failure has been reported.
template <typename Opener>
std::optional<Database> Reported(MessageBoxes& boxes, Opener open) {
    try {
        return open();
    } catch (const DatabaseError& failure) {
        ReportError(boxes, "ADO_connConnectDB", failure.Description(), "");
    } catch (const std::exception& failure) {
        ReportError(boxes, "ADO_connConnectDB", failure.what(), "");
    }
    return std::nullopt;
}

}  // namespace

std::optional<Database> OpenArchive(const ArchiveLocation& location, MessageBoxes& boxes,
                                    int busyTimeoutMs, ArchiveAccess access,
                                    std::chrono::seconds commandTimeout) {
    return Reported(boxes, [&] {
        Database db = OpenUnchecked(location, busyTimeoutMs);
        db.SetCommandTimeout(commandTimeout);
        RequireArchiveTables(db);
        if (access == ArchiveAccess::Reading) {
            // Reading never changes the archive, not even to bring it up to date.
            db.RefuseWrites();
        } else if (const std::string notice = UpgradeArchive(db); !notice.empty()) {
            ShowMessage(boxes, notice, "");
        }
        return db;
    });
}

std::optional<Database> OpenArchiveToRead(const ArchiveLocation& location, MessageBoxes& boxes) {
    return Reported(boxes, [&] {
        Database db = location.conninfo.empty() ? Database::OpenToRead(location.path)
                                                : Database::Connect(location.conninfo);
        RequireArchiveTables(db);
        db.RefuseWrites();
        return db;
    });
}

std::optional<Database> OpenDatabase(const fs::path& programFolder, MessageBoxes& boxes,
                                     ArchiveAccess access) {
    const ArchiveLocation archive = ConfiguredArchivePath(programFolder);
    if (!archive.failure.empty()) {
        ReportError(boxes, "OpenDatabase", archive.failure, "");
        return std::nullopt;
    }
    return OpenWorkingArchive(archive, programFolder, boxes, access);
}

std::optional<Database> OpenWorkingArchive(const ArchiveLocation& location,
                                           const fs::path& programFolder, MessageBoxes& boxes,
                                           ArchiveAccess access) {
    if (location.conninfo.empty()) return OpenArchive(location, boxes, kDefaultBusyTimeoutMs, access);
    const ConfiguredTimeout timeout = ConfiguredCommandTimeout(programFolder);
    if (!timeout.failure.empty()) {
        ReportError(boxes, "OpenDatabase", timeout.failure, "");
        return std::nullopt;
    }
    return OpenArchive(location, boxes, kDefaultBusyTimeoutMs, access, timeout.limit);
}

void CloseDatabase(std::optional<Database>& connection) { connection.reset(); }

}  // namespace quotaplan
