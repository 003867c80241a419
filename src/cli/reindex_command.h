#pragma once

#include <filesystem>
#include <iosfwd>

#include "cli/command_line.h"

namespace quotaplan {

// --reindex-all [--ref-rate R] [--type T]: re-indexes the archive's indexed contracts
// (ReindexPortfolio), those of one reference rate or financing type when named, and prints
// {"contracts": n, "changed": c, "rows": r, "skipped": ["Contratto 7 \"…\": why", …]}.
// Returns the exit status: 0 done, 2 an unknown reference rate or type, 1 a database error
// (what it struck is as it was; the contracts written before it stay written).
int RunReindexCommand(const CommandLine& line, const std::filesystem::path& programFolder,
                      std::ostream& out, std::ostream& err);

}  // namespace quotaplan
