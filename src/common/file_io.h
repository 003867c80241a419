#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace quotaplan {

enum class FileReadStatus {
    Read,        // bytes holds the whole file
    Missing,     // nothing at all bears the name
    BrokenLink,  // the name is a symbolic link to nothing
    NotRegular,  // a folder, a FIFO, a device or a socket: never opened, never read
    TooLarge,    // longer than the limit the caller gave
    Unreadable   // the open or a read failed; error holds errno
};

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Missing;
    std::string bytes;
    int error = 0;
};

// Reads a small file the user may have replaced with anything: a symbolic link is followed,
// but only a regular file of at most maxBytes is read. The type is checked before the open,
// the open does not wait (a FIFO swapped in meanwhile is caught by the second check on the
// open file), and at most maxBytes + 1 bytes are ever read, so a file that grows while it
// is read is refused rather than read without end.
FileReadResult ReadBoundedFile(const std::filesystem::path& file, std::size_t maxBytes);

// Writes all the bytes to the open descriptor, resuming after interrupted and short writes.
// False when a write fails (errno tells why).
bool WriteAll(int fd, std::string_view bytes);

}  // namespace quotaplan
