#include "output/export_file.h"

#include <system_error>

#include "common/atomic_file.h"
#include "common/file_io.h"
#include "output/file_names.h"

namespace quotaplan {

namespace {

// The file name of a contract without a description.
constexpr std::string_view kUnnamedExport = "Piano finanziario";

// Hidden temporaries of an export: this prefix and six letters or digits.
constexpr std::string_view kTemporaryPrefix = ".quotaplan-export-";

ExportResult Failure(ExportCode code, std::string message, const std::filesystem::path& file) {
    return ExportResult{code, std::move(message), file};
}

}  // namespace

std::filesystem::path ExportFilePath(const std::filesystem::path& folder, std::string description,
                                     std::string_view extension) {
    ReplaceInvalidChars(description);
    // Without a name the file would be hidden (".txt") or a name of blanks only.
    if (description.find_first_not_of(' ') == std::string::npos) description = kUnnamedExport;
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

    const AtomicWriteStatus written =
        WriteFileAtomically(file, kTemporaryPrefix, WhenFileExists::Replace,
                            [&](int fd) { return WriteAll(fd, bytes); });
    if (written != AtomicWriteStatus::Written) return writeError;
    return ExportResult{ExportCode::Written, "", file};
}

}  // namespace quotaplan
