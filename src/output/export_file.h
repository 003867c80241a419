#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "output/export_result.h"

namespace quotaplan {

// The export file of a description: folder / (cleaned description + extension). The
// description is cleaned with ReplaceInvalidChars; extension includes its dot (".txt"). An
// empty description, or one of blanks only once cleaned, gives "Piano finanziario".
std::filesystem::path ExportFilePath(const std::filesystem::path& folder, std::string description,
                                     std::string_view extension);

// Writes bytes as `file`, creating its folder when it is missing. The bytes go to a
// temporary file in the same folder, are flushed to disk, and only then replace `file` by a
// rename, so a failure midway leaves either the previous file or none, never a half-written
// one under the final name. The temporary file stays locked while it is written, and
// temporary files of this user that no export holds any more (left by an export killed
// midway) are removed from the folder first. Returns Written, FolderError ("Impossibile creare la cartella
// <folder>") or WriteError ("Impossibile scrivere il file <file>").
ExportResult WriteExportFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace quotaplan
