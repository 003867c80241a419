#pragma once

#include <filesystem>
#include <iosfwd>
#include <set>
#include <string>

#include "cli/calc_options.h"
#include "cli/command_line.h"
#include "data/database.h"

namespace quotaplan {

// The events of a contract on the command line: --payoff DATE (the statement, with --method,
// --discount-rate, --penalty, --costs, --refund), --prepay DATE (the new plan, with --amount,
// --keep, --penalty), --suspend DATE (the new plan, with --instalments, --kind, --interest,
// --fund-share), --renegotiate DATE (the new plan, with --new-rate, --new-spread,
// --new-ref-rate, --new-count, --new-periodicity, --lender), each on the stored contract --id N (of --db, or the configured archive)
// or on the contract of the calculation options; --record stores it (with --id);
// --undo-event --id N removes the latest.
const std::set<std::string>& EventValueOptions();
const std::set<std::string>& EventFlagOptions();

// True when the line asks for an event (--payoff, --prepay, --suspend, --renegotiate,
// --undo-event).
bool AsksForEvent(const CommandLine& line);
// True when the event works on a stored contract (--id), in the archive of --db or the
// configured one.
bool EventUsesArchive(const CommandLine& line);

// Runs the event the line asks for. Prints the payoff statement as JSON ({"residual_capital",
// "accrued_interest", "penalty", "penalty_rule", "refund", "refund_rule", "instalments_due",
// "total"}), the plan after a prepayment as the calculation prints a plan ({"instalment",
// "penalty", "accrued_interest", "plan"}), after a holiday ({"instalment",
// "suspended_interest", "fund_interest", "capitalised_interest", "deferred_interest",
// "last_due", "plan"}) or a renegotiation ({"instalment", "rate", "count", "residual", "taeg",
// "signed_taeg" on the calculation options, "lender" and "note" for a surrogation, "plan"}),
// or the event removed; messages on `err`. Returns
// the exit status: 0 done, 2 bad input or a refused event (nothing stored), 1 an arithmetic or
// database error.
int RunEventCommand(const CommandLine& line, const CalcOptions& calc,
                    const std::filesystem::path& programFolder, std::ostream& out,
                    std::ostream& err);

// `,\n  "events": [...]` for --show: the contract's events in the order recorded, each
// {"id", "date", "kind", "amount", "penalty", "refund", "options", "note"}. Throws
// DatabaseError when the query fails.
std::string StoredEventsJson(Database& db, std::int32_t contractId);

}  // namespace quotaplan
