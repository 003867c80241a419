#pragma once

#include <filesystem>
#include <iosfwd>
#include <set>
#include <string>

#include "cli/command_line.h"
#include "common/program_folder.h"

namespace quotaplan {

// The calculator's portfolio options: --batch FILE|- with --jobs N and the flag --plans.
const std::set<std::string>& BatchValueOptions();
const std::set<std::string>& BatchFlagOptions();

// --batch FILE (or "-" for standard input, `in`): every contract line of the file (see
// BatchReader) priced on --jobs threads (default the machine's cores) and printed in input
// order, one JSON object a line: {"line": N, "description": …, "instalment": …, "taeg": …,
// "usury": {…}, "total_interest": …, "total_paid": …} with amounts to the cent (--plans adds
// "plan"), or {"line": N, "description": …, "error": "…"}; then {"good": G, "bad": B}. With
// --format csv a ";" table with decimal commas instead, and the counts on `err`. The usury
// check uses the thresholds of --db, or of the configured archive when the file names
// usury-category or type. Returns the exit status: 0 every line priced, 2 a line failed or
// the file or an option was refused, 1 the archive could not be read.
int RunBatchCommand(const CommandLine& line, const ProgramFiles& files, std::istream& in,
                    std::ostream& out, std::ostream& err);

}  // namespace quotaplan
