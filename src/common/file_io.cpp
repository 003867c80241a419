#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace quotaplan {
namespace {

FileReadResult Failed(FileReadStatus status, int error = 0) { return {status, {}, error}; }

// Why stat() could not reach a file: nothing there, or a link that leads nowhere.
FileReadResult MissingOrBroken(const std::filesystem::path& file, int statError) {
    struct stat link {};
    if (statError == ENOENT && ::lstat(file.c_str(), &link) == 0) {
        return Failed(FileReadStatus::BrokenLink, ENOENT);
    }
    return statError == ENOENT ? Failed(FileReadStatus::Missing, ENOENT)
                               : Failed(FileReadStatus::Unreadable, statError);
}

// Reads at most limit bytes; a file longer than limit - 1 shows as limit bytes.
bool ReadUpTo(int fd, std::size_t limit, std::string& bytes) {
    char buffer[8192];
    while (bytes.size() < limit) {
        const std::size_t wanted = std::min(sizeof buffer, limit - bytes.size());
        const ssize_t got = ::read(fd, buffer, wanted);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

}  // namespace

FileReadResult ReadBoundedFile(const std::filesystem::path& file, std::size_t maxBytes) {
    struct stat before {};
    if (::stat(file.c_str(), &before) != 0) return MissingOrBroken(file, errno);
    if (!S_ISREG(before.st_mode)) return Failed(FileReadStatus::NotRegular);
    if (static_cast<std::uintmax_t>(before.st_size) > maxBytes) {
        return Failed(FileReadStatus::TooLarge);
    }

    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Failed(FileReadStatus::Unreadable, errno);
    FileReadResult result{FileReadStatus::Read, {}, 0};
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        result = Failed(FileReadStatus::Unreadable, errno);
    } else if (!S_ISREG(opened.st_mode)) {
        result = Failed(FileReadStatus::NotRegular);
    } else if (!ReadUpTo(fd, maxBytes + 1, result.bytes)) {
        result = Failed(FileReadStatus::Unreadable, errno);
    } else if (result.bytes.size() > maxBytes) {
        result = Failed(FileReadStatus::TooLarge);
    }
    ::close(fd);
    return result;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace quotaplan
