#pragma once

#include <filesystem>
#include <iosfwd>
#include <set>
#include <string>

#include "cli/command_line.h"

namespace quotaplan {

// The commands that make and fill archives: --init-archive (on --db or the configured
// archive) and --copy-archive FROM TO.
const std::set<std::string>& SetupFlagOptions();
const std::set<std::string>& SetupPairOptions();
bool AsksForSetup(const CommandLine& line);

// --init-archive makes a new archive: on a PostgreSQL database (a "postgresql://" URI) that
// holds no table, or in a file that does not exist yet; prints where. --copy-archive FROM TO
// copies every table of the archive FROM, which it only reads, into the archive TO (a file
// that does not exist is made aside and takes its name only when whole: MakeArchiveFile), in
// one transaction on TO, and prints the rows copied per table as JSON; TO must hold nothing
// but what a new archive holds, unless --replace is given, and then the JSON also counts the
// rows TO held. Texts stored otherwise than FROM holds them are listed on `err`. Exit status
// 0 done, 2 refused (the message says why; nothing written), 1 a database error.
int RunSetupCommand(const CommandLine& line, const std::filesystem::path& programFolder,
                    std::ostream& out, std::ostream& err);

}  // namespace quotaplan
