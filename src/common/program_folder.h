#pragma once

#include <filesystem>

namespace quotaplan {

// The folder that holds the running executable: where the archive, its INI file, the
// Word template and the Export folder live. Falls back to the current folder when the
// executable's path cannot be read.
std::filesystem::path ProgramFolder();

}  // namespace quotaplan
