#pragma once

#include <filesystem>
#include <string>

namespace quotaplan {

enum class ExportCode {
    Written,            // the file is complete under its final name
    NoPlan,             // no plan has been calculated yet: nothing was written
    FolderError,        // the export folder is missing and could not be created
    WriteError,         // the file could not be written; any older file is left as it was
    TemplateMissing,    // the document template does not exist: nothing was written
    TemplateUnreadable  // the document template could not be read: nothing was written
};

// The outcome of one export: a code, the Italian message to show (empty when the file was
// written) and the full path of the file meant to be written.
struct [[nodiscard]] ExportResult {
    ExportCode code = ExportCode::Written;
    std::string message;
    std::filesystem::path file;

    bool Ok() const { return code == ExportCode::Written; }
};

}  // namespace quotaplan
