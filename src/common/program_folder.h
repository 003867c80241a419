#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quotaplan {

inline constexpr const char* kIniFileName = "Quotaplan.ini";
inline constexpr const char* kDefaultArchiveName = "Quotaplan.mdb";
inline constexpr const char* kWordTemplateName = "pda.dot";
inline constexpr const char* kExportFolderName = "Export";
inline constexpr const char* kServicesShortcutName = "Servizi.url";
inline constexpr const char* kUserGuideName = "guida.html";
// The office's settings for every desk of an installed program: read by a user who has no
// Quotaplan.ini of their own, typically to name the office's PostgreSQL archive.
inline constexpr const char* kOfficeSettingsFile = "/etc/quotaplan/Quotaplan.ini";

// The folder that holds the running executable. Falls back to the current folder when the
// executable's path cannot be read.
std::filesystem::path ProgramFolder();

// Where the program's files are kept.
enum class FilesLayout {
    // Everything beside the executable: the build's bin/ folder, or a copy of it.
    ReadyToRun,
    // Installed in <prefix>/bin: the user's files in the user's data folder, the program's
    // own (template, default archive) in <prefix>/share/quotaplan.
    Installed
};

struct ProgramFiles {
    FilesLayout layout = FilesLayout::ReadyToRun;
    // The archive, Quotaplan.ini, Servizi.url and the Export folder.
    std::filesystem::path dataFolder;
    // The Word template and, for an installed program, the default archive a user starts from.
    std::filesystem::path resourceFolder;
    // The settings read when the data folder holds no Quotaplan.ini; empty for none (a
    // ready-to-run folder keeps all of its settings beside the program).
    std::filesystem::path officeSettings = {};

    std::filesystem::path ExportFolder() const { return dataFolder / kExportFolderName; }
    std::filesystem::path ServicesShortcut() const { return dataFolder / kServicesShortcutName; }
    std::filesystem::path WordTemplate() const { return resourceFolder / kWordTemplateName; }
    std::filesystem::path DefaultArchive() const { return resourceFolder / kDefaultArchiveName; }
    // The user guide's page, with its pictures beside it: guida/guida.html in a ready-to-run
    // folder; installed, in the package's documentation folder <prefix>/share/doc/quotaplan
    // beside the share folder (or guida/ in a read-only ready-to-run folder serving as one).
    std::filesystem::path UserGuide() const;
    // The Quotaplan.ini that configures the archive: the data folder's own when anything
    // bears its name there (an unreadable one is reported, never passed over), else the
    // office's when that exists, else the data folder's, which is then missing.
    std::filesystem::path SettingsFile() const;
};

// Everything in one folder, as the build lays out bin/.
ProgramFiles ReadyToRunFiles(const std::filesystem::path& folder);

// The environment that places the user's data folder.
struct UserFolders {
    std::string xdgDataHome;  // $XDG_DATA_HOME; ignored when empty or relative
    std::string home;         // $HOME, or the home folder of the user's account
};

// The process's own UserFolders.
UserFolders CurrentUserFolders();

// "Quotaplan" in the user's data folder: $XDG_DATA_HOME/Quotaplan, else
// $HOME/.local/share/Quotaplan; nullopt when neither is an absolute path.
std::optional<std::filesystem::path> UserDataFolder(const UserFolders& user);

// True when the folder is meant to be written by this process. Beyond the kernel's answer,
// for root (whom the kernel lets write anywhere but on a read-only mount) the folder's mode
// bits decide, so that a folder made read-only counts as such for every user.
bool FolderWritable(const std::filesystem::path& folder);

// Decides where the files of a program whose executable lies in programFolder live.
// Installed when the program folder cannot be written, or when it holds neither archive nor
// Quotaplan.ini while ../share/quotaplan holds a default archive (an install into a prefix
// the user owns, or root running the installed program). Installed: the data folder is
// UserDataFolder (empty when unknown) and the resource folder ../share/quotaplan, or the
// program folder itself when there is no share folder (a ready-to-run folder made read-only
// serves as the template of each user's files), and the office's settings are
// kOfficeSettingsFile. Otherwise ReadyToRunFiles(programFolder).
ProgramFiles LocateProgramFiles(const std::filesystem::path& programFolder,
                                const UserFolders& user);

// LocateProgramFiles for this process, decided at the first call and kept for the run.
const ProgramFiles& ThisProgramFiles();

// The Quotaplan.ini that configures the archive of a data folder: ThisProgramFiles()'s
// SettingsFile() for this program's own data folder, the one inside the folder for any other.
std::filesystem::path SettingsFileOf(const std::filesystem::path& dataFolder);

// Makes an installed program's data folder ready, once per user and harmless every time
// after: the data folder and its Export folder are created (private to the user: they hold
// the user's contracts) and, when the data folder holds no archive, the default archive is
// copied there. The copy is written aside and renamed into place, so an interrupted start
// leaves no half archive, and an archive that appears meanwhile is never overwritten. Does
// nothing for a ready-to-run folder. Returns the Italian message of a failure ("Impossibile
// creare la cartella …", "Impossibile copiare l'archivio iniziale … in …: …"), or nullopt.
[[nodiscard]] std::optional<std::string> PrepareProgramFiles(const ProgramFiles& files);

}  // namespace quotaplan
