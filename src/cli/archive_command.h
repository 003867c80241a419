#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <set>
#include <string>

#include "cli/calc_command.h"
#include "cli/command_line.h"
#include "common/message_boxes.h"
#include "data/connection.h"
#include "data/database.h"

namespace quotaplan {

// The archive options of quotaplan-calc: --db, --save (with --type and --ref-rate),
// --list, --show, --delete, --summary (with --today); --import-index (index_command.h) is an
// archive command too.
const std::set<std::string>& ArchiveValueOptions();
const std::set<std::string>& ArchiveFlagOptions();
bool AsksForArchive(const CommandLine& line);

// The archive named by --db, or the one configured beside the program, opened for the access
// given (a command that only reads never changes the archive); nullopt after the failure has
// been shown through `boxes`.
std::optional<Database> ConnectArchive(const CommandLine& line,
                                       const std::filesystem::path& programFolder,
                                       MessageBoxes& boxes,
                                       ArchiveAccess access = ArchiveAccess::Writing);

// Runs the one archive command the line asks for, on the archive named by --db or the
// configured one beside the program, through the same store and summary queries the window
// uses. Prints JSON (or the new ID) on `out`, messages on `err`; returns the exit status:
// 0 done, 2 refused (a duplicate description, an unknown ID or lookup text, a bad --today),
// 1 a database error.
int RunArchiveCommand(const CommandLine& line, const CalcOptions& calc,
                      const std::filesystem::path& programFolder, std::ostream& out,
                      std::ostream& err);

}  // namespace quotaplan
