#include "output/export_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "common/file_io.h"
#include "output/file_names.h"

namespace quotaplan {

namespace {

namespace fs = std::filesystem;

// mkstemp's pattern: this prefix and six letters or digits.
constexpr std::string_view kTemporaryPrefix = ".quotaplan-export-";
constexpr std::size_t kTemporaryRandomLength = 6;

ExportResult Failure(ExportCode code, std::string message, const fs::path& file) {
    return ExportResult{code, std::move(message), file};
}

bool IsTemporaryName(std::string_view name) {
    if (!name.starts_with(kTemporaryPrefix) ||
        name.size() != kTemporaryPrefix.size() + kTemporaryRandomLength) {
        return false;
    }
    return std::all_of(name.begin() + kTemporaryPrefix.size(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

// Removes a temporary file that an export killed midway left behind: only a regular file of
// this user, never through a link, and only when no export holds its lock any more.
void RemoveIfStale(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(file.c_str(), &named) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
        ::unlink(file.c_str());
    }
    ::close(fd);
}

void RemoveStaleTemporaries(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (IsTemporaryName(entry->path().filename().string())) RemoveIfStale(entry->path());
    }
}

// A new temporary file in the folder, locked for as long as its descriptor stays open, so
// that no other export takes it for a stale one; -1 when none can be made.
int CreateLockedTemporary(const fs::path& folder, fs::path& temporary) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string pattern = (folder / kTemporaryPrefix).string() + "XXXXXX";
        const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        // Where locks are not supported no other export can lock it either, so it is safe.
        ::flock(fd, LOCK_EX);
        // Another export may have found it unlocked, just before the lock, and removed it.
        struct stat opened {};
        if (::fstat(fd, &opened) == 0 && opened.st_nlink > 0) {
            temporary = pattern;
            return fd;
        }
        ::close(fd);
    }
    return -1;
}

}  // namespace

std::filesystem::path ExportFilePath(const std::filesystem::path& folder, std::string description,
                                     std::string_view extension) {
    ReplaceInvalidChars(description);
    return folder / (description + std::string(extension));
}

ExportResult WriteExportFile(const std::filesystem::path& file, std::string_view bytes) {
    const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (!std::filesystem::is_directory(folder, error)) {
            return Failure(ExportCode::FolderError,
                           "Impossibile creare la cartella " + folder.string(), file);
        }
    }
    const ExportResult writeError =
        Failure(ExportCode::WriteError, "Impossibile scrivere il file " + file.string(), file);

    RemoveStaleTemporaries(folder);
    // A hidden sibling with a short name (the final name may already be as long as the file
    // system allows), so a crash never leaves a file that looks like a finished export.
    fs::path temporary;
    const int fd = CreateLockedTemporary(folder, temporary);
    if (fd < 0) return writeError;
    // mkstemp makes the file private; an export is an ordinary document.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (ok) {
        fs::rename(temporary, file, error);
        ok = !error;
    }
    if (!ok) fs::remove(temporary, error);
    // The lock goes only now, when the file bears its final name. The bytes are on disk
    // already (fsync), so closing cannot lose them.
    ::close(fd);
    if (!ok) return writeError;
    return ExportResult{ExportCode::Written, "", file};
}

}  // namespace quotaplan
