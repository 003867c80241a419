#include "output/export_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "common/file_io.h"
#include "output/file_names.h"

namespace quotaplan {

namespace {

ExportResult Failure(ExportCode code, std::string message, const std::filesystem::path& file) {
    return ExportResult{code, std::move(message), file};
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

    // A hidden sibling with a short name (the final name may already be as long as the file
    // system allows), so a crash never leaves a file that looks like a finished export.
    std::string pattern = (folder / ".quotaplan-export-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return writeError;
    const std::filesystem::path temporary = pattern;
    const bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!ok || !closed) {
        std::filesystem::remove(temporary, error);
        return writeError;
    }
    // mkstemp makes the file private; an export is an ordinary document.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(temporary.c_str(), 0666 & ~mask);
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return writeError;
    }
    return ExportResult{ExportCode::Written, "", file};
}

}  // namespace quotaplan
