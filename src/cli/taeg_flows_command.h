#pragma once

#include <filesystem>
#include <ostream>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/command_line.h"
#include "engine/taeg.h"

namespace quotaplan {

// The flows of a --taeg-flows file: one "YYYY-MM-DD;amount" line a flow, drawdowns
// positive and payments negative, the amount with "." (or ",") before at most two decimals
// and no grouping ("1000", "-600.00", "-860,66"). Blanks, a byte-order mark, CR LF line
// ends, empty lines and a first line without digits (a header) are allowed.
// A bad line is refused with exit status 2, its number named.
std::variant<std::vector<DatedFlow>, CliFailure> ReadDatedFlows(std::string_view text);

// --taeg-flows FILE: prints {"taeg": X}, X the TAEG in percent with two decimals.
// Exit status 2 for an unreadable file, a bad line, or flows that fix no single rate (none
// balances them, or every rate does), with NoTaegNote's reason.
int RunTaegFlows(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

}  // namespace quotaplan
