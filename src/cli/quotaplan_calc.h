#pragma once

#include <filesystem>
#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "cli/picture_export.h"
#include "cli/review_runner.h"
#include "common/program_folder.h"

namespace quotaplan {

// The whole of quotaplan-calc: a calculation printed as JSON or CSV, written as an export
// file (--export), or an archive command (--save, --list, --show, --delete). `files` says where
// the configured archive, the default Export folder and the Word template live; an installed
// program's data folder is made ready (PrepareProgramFiles) only by a command that uses it,
// so a calculation alone never touches the user's folders. Returns the exit status; nothing
// reaches `out` unless it succeeds, except that --show prints what it could read of a
// contract before failing on a stored value it could not. `pictures` writes the pdf and png
// exports; without one they fail. `review` runs the expert review's commands; without one
// they are handed over through `pictures` (the drawing program has one).
// The names (without dashes) of every option the command line accepts.
std::set<std::string> KnownOptions();

int RunQuotaplanCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const ProgramFiles& files, const PictureWriter& pictures = {},
                     const ReviewRunner& review = {});

// The same on a ready-to-run folder: everything beside each other in programFolder.
int RunQuotaplanCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::filesystem::path& programFolder, const PictureWriter& pictures = {},
                     const ReviewRunner& review = {});

}  // namespace quotaplan
