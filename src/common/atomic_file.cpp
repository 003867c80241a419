#include "common/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

namespace quotaplan {
namespace {

namespace fs = std::filesystem;

// mkstemp's pattern ends in six letters or digits.
constexpr std::size_t kTemporaryRandomLength = 6;

bool IsTemporaryName(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() != prefix.size() + kTemporaryRandomLength) {
        return false;
    }
    return std::all_of(name.begin() + prefix.size(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

// Whether the file is a regular file of this user (not followed through a link).
bool IsOwnRegularFile(const struct stat& status) {
    return S_ISREG(status.st_mode) && status.st_uid == ::geteuid();
}

// Removes a temporary file that a writer killed midway left behind: only a regular file of
// this user, never through a link, and only when no writer holds its lock any more. True
// when removed.
bool RemoveIfStale(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat opened {};
    struct stat named {};
    const bool stale = ::fstat(fd, &opened) == 0 && IsOwnRegularFile(opened) &&
                       ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(file.c_str(), &named) == 0 &&
                       named.st_dev == opened.st_dev && named.st_ino == opened.st_ino &&
                       ::unlink(file.c_str()) == 0;
    ::close(fd);
    return stale;
}

// Removes stale temporaries of the prefix and the files named after them ("<temporary>-…").
void RemoveStaleTemporaries(const fs::path& folder, std::string_view prefix) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    for (const auto& name : names) {
        if (!IsTemporaryName(name, prefix) || !RemoveIfStale(folder / name)) continue;
        for (const auto& companion : names) {
            struct stat status {};
            if (companion.starts_with(name + "-") &&
                ::lstat((folder / companion).c_str(), &status) == 0 && IsOwnRegularFile(status)) {
                ::unlink((folder / companion).c_str());
            }
        }
    }
}

// A new temporary file in the folder, locked for as long as its descriptor stays open, so
// that no other writer takes it for a stale one; -1 when none can be made.
int CreateLockedTemporary(const fs::path& folder, std::string_view prefix, fs::path& temporary) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string pattern = (folder / prefix).string() + "XXXXXX";
        const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        // Where locks are not supported no other writer can lock it either, so it is safe.
        ::flock(fd, LOCK_EX);
        // Another writer may have found it unlocked, just before the lock, and removed it.
        struct stat opened {};
        if (::fstat(fd, &opened) == 0 && opened.st_nlink > 0) {
            temporary = pattern;
            return fd;
        }
        ::close(fd);
    }
    return -1;
}

// Gives the temporary the final name without ever replacing what bears it.
AtomicWriteStatus RenameWithoutReplacing(const fs::path& temporary, const fs::path& file) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, file.c_str(), RENAME_NOREPLACE) == 0) {
        return AtomicWriteStatus::Written;
    }
    if (errno == EEXIST) return AtomicWriteStatus::KeptExisting;
    if (errno != EINVAL && errno != ENOSYS) return AtomicWriteStatus::Failed;
    // A file system without the no-replace rename: a hard link refuses a taken name as well.
    if (::link(temporary.c_str(), file.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return AtomicWriteStatus::Written;
    }
    return errno == EEXIST ? AtomicWriteStatus::KeptExisting : AtomicWriteStatus::Failed;
}

// Both ways of writing: `fill` gets the locked temporary's descriptor and path.
AtomicWriteStatus WriteAside(const fs::path& file, std::string_view temporaryPrefix,
                             WhenFileExists whenExists,
                             const std::function<bool(int fd, const fs::path&)>& fill) {
    const fs::path folder = file.parent_path().empty() ? "." : file.parent_path();
    RemoveStaleTemporaries(folder, temporaryPrefix);
    fs::path temporary;
    const int fd = CreateLockedTemporary(folder, temporaryPrefix, temporary);
    if (fd < 0) return AtomicWriteStatus::Failed;
    // mkstemp makes the file private; the final file is an ordinary one.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    AtomicWriteStatus status = AtomicWriteStatus::Failed;
    if (fill(fd, temporary) && ::fsync(fd) == 0) {
        if (whenExists == WhenFileExists::Keep) {
            status = RenameWithoutReplacing(temporary, file);
        } else {
            status = ::rename(temporary.c_str(), file.c_str()) == 0 ? AtomicWriteStatus::Written
                                                                    : AtomicWriteStatus::Failed;
        }
    }
    if (status != AtomicWriteStatus::Written) ::unlink(temporary.c_str());
    // The lock goes only now, when the file bears its final name. The bytes are on disk
    // already (fsync), so closing cannot lose them.
    ::close(fd);
    return status;
}

}  // namespace

AtomicWriteStatus WriteFileAtomically(const fs::path& file, std::string_view temporaryPrefix,
                                      WhenFileExists whenExists,
                                      const std::function<bool(int fd)>& fill) {
    return WriteAside(file, temporaryPrefix, whenExists,
                      [&](int fd, const fs::path&) { return fill(fd); });
}

AtomicWriteStatus WriteNamedFileAtomically(
    const fs::path& file, std::string_view temporaryPrefix, WhenFileExists whenExists,
    const std::function<bool(const fs::path& temporary)>& fill) {
    return WriteAside(file, temporaryPrefix, whenExists,
                      [&](int, const fs::path& temporary) { return fill(temporary); });
}

}  // namespace quotaplan
