#include "common/program_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "common/atomic_file.h"
#include "common/file_io.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;

// Hidden temporaries of the default archive's copy: this prefix and six letters or digits.
constexpr std::string_view kArchiveTemporaryPrefix = ".quotaplan-archive-";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string AccountHome() {
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return found->pw_dir;
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// Creates the folder and those above it that are missing, each private to the user.
bool CreateFolders(const fs::path& folder) {
    fs::path partial;
    for (const fs::path& part : folder) {
        partial /= part;
        std::error_code error;
        if (::mkdir(partial.c_str(), 0700) != 0 && !fs::is_directory(partial, error)) return false;
    }
    std::error_code error;
    return fs::is_directory(folder, error);
}

// Copies everything the descriptor `from` still has to read into `to`.
bool CopyAll(int from, int to, bool& readFailed) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            readFailed = true;
            return false;
        }
        if (got == 0) return true;
        if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(got)))) return false;
    }
}

std::optional<std::string> CopyDefaultArchive(const fs::path& source, const fs::path& target) {
    const auto failure = [&](const char* reason) {
        return "Impossibile copiare l'archivio iniziale " + source.string() + " in " +
               target.string() + ": " + reason + ".";
    };
    // Not waiting on the open: a FIFO under the name is refused below, never read.
    const int from = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (from < 0) {
        if (errno == ENOENT) return failure("il file non esiste");
        return failure(errno == EACCES || errno == EPERM ? "accesso negato" : "errore di lettura");
    }
    struct stat opened {};
    if (::fstat(from, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(from);
        return failure("non è un file normale");
    }
    bool readFailed = false;
    const AtomicWriteStatus copied =
        WriteFileAtomically(target, kArchiveTemporaryPrefix, WhenFileExists::Keep,
                            [&](int to) { return CopyAll(from, to, readFailed); });
    ::close(from);
    if (copied == AtomicWriteStatus::Failed) {
        return failure(readFailed ? "errore di lettura" : "errore di scrittura");
    }
    return std::nullopt;
}

}  // namespace

fs::path ProgramFolder() {
    std::error_code error;
    const auto executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return fs::current_path();
    return executable.parent_path();
}

ProgramFiles ReadyToRunFiles(const fs::path& folder) {
    return ProgramFiles{FilesLayout::ReadyToRun, folder, folder};
}

fs::path ProgramFiles::UserGuide() const {
    const fs::path beside = resourceFolder / "guida" / kUserGuideName;
    if (layout == FilesLayout::ReadyToRun || Exists(beside)) return beside;
    return resourceFolder.parent_path() / "doc" / "quotaplan" / kUserGuideName;
}

fs::path ProgramFiles::SettingsFile() const {
    // The folder and the name joined as text, as the folder reads.
    const fs::path own = dataFolder.string() + "/" + kIniFileName;
    if (Exists(own) || officeSettings.empty() || !Exists(officeSettings)) return own;
    return officeSettings;
}

UserFolders CurrentUserFolders() {
    UserFolders user{Environment("XDG_DATA_HOME"), Environment("HOME")};
    if (user.home.empty()) user.home = AccountHome();
    return user;
}

std::optional<fs::path> UserDataFolder(const UserFolders& user) {
    // Relative values are not valid in these variables and are ignored.
    const fs::path xdgDataHome = user.xdgDataHome;
    if (xdgDataHome.is_absolute()) return xdgDataHome / "Quotaplan";
    const fs::path home = user.home;
    if (home.is_absolute()) return home / ".local" / "share" / "Quotaplan";
    return std::nullopt;
}

bool FolderWritable(const fs::path& folder) {
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return false;
    if (::geteuid() != 0) return true;
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 &&
           (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

ProgramFiles LocateProgramFiles(const fs::path& programFolder, const UserFolders& user) {
    const fs::path shareFolder = programFolder.parent_path() / "share" / "quotaplan";
    const bool sharesDefaultArchive = Exists(shareFolder / kDefaultArchiveName);
    const bool holdsOwnFiles =
        Exists(programFolder / kDefaultArchiveName) || Exists(programFolder / kIniFileName);
    const bool installed =
        !FolderWritable(programFolder) || (!holdsOwnFiles && sharesDefaultArchive);
    if (!installed) return ReadyToRunFiles(programFolder);
    std::error_code error;
    const bool hasShareFolder = fs::is_directory(shareFolder, error);
    return ProgramFiles{FilesLayout::Installed, UserDataFolder(user).value_or(fs::path()),
                        hasShareFolder ? shareFolder : programFolder, kOfficeSettingsFile};
}

const ProgramFiles& ThisProgramFiles() {
    static const ProgramFiles files = LocateProgramFiles(ProgramFolder(), CurrentUserFolders());
    return files;
}

fs::path SettingsFileOf(const fs::path& dataFolder) {
    const ProgramFiles& files = ThisProgramFiles();
    if (files.dataFolder == dataFolder) return files.SettingsFile();
    return dataFolder.string() + "/" + kIniFileName;
}

std::optional<std::string> PrepareProgramFiles(const ProgramFiles& files) {
    if (files.layout == FilesLayout::ReadyToRun) return std::nullopt;
    if (files.dataFolder.empty()) {
        return "Impossibile trovare la cartella dei dati dell'utente: né XDG_DATA_HOME né HOME "
               "indicano un percorso assoluto.";
    }
    for (const fs::path& folder : {files.dataFolder, files.ExportFolder()}) {
        if (!CreateFolders(folder)) return "Impossibile creare la cartella " + folder.string();
    }
    const fs::path archive = files.dataFolder / kDefaultArchiveName;
    if (Exists(archive)) return std::nullopt;
    return CopyDefaultArchive(files.DefaultArchive(), archive);
}

}  // namespace quotaplan
