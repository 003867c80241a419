#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <variant>

#include "cli/calc_command.h"
#include "cli/command_line.h"
#include "common/message_boxes.h"
#include "data/database.h"

namespace quotaplan {

// The calculator's usury options: --import-thresholds FILE and --usury-category NAME.
const std::set<std::string>& UsuryValueOptions();

// --import-thresholds FILE on the open archive: the "Categoria;Importo da;Importo a;Dal;Al;
// TEGM" file written into tabSoglieUsura in one transaction. Prints {"thresholds": n,
// "added": a, "replaced": r}; returns the exit status: 0 done, 2 a bad file (the Italian
// message naming the line, nothing imported), 1 a database error (shown through `boxes`,
// nothing imported).
int ImportThresholdsCommand(Database& db, MessageBoxes& boxes, const CommandLine& line,
                            std::ostream& out, std::ostream& err);

// Whether a calculation asks for the usury check: --usury-category, or --type with --db (the
// category of that financing type in the archive).
bool AsksForUsury(const CommandLine& line);

// The usury check of a calculation on the open archive: the category (--usury-category, or
// that of the financing type --type), its rows of tabSoglieUsura, and the verdict on the
// outcome's TAEG for the amount financed (value less maxi) on the contract date (today when
// not given). Refused with exit status 2: a category the table does not hold, a type the
// archive lacks. A database error gives exit status 1.
std::variant<CalcUsury, CliFailure> CheckUsury(Database& db, MessageBoxes& boxes,
                                               const CommandLine& line, const CalcOutcome& outcome);

// CheckUsury on the archive named by --db or configured beside the program; a connection
// that fails is shown on `err` and gives exit status 1 with no further text.
std::variant<CalcUsury, CliFailure> CheckUsuryInArchive(const CommandLine& line,
                                                        const std::filesystem::path& programFolder,
                                                        const CalcOutcome& outcome,
                                                        std::ostream& err);

}  // namespace quotaplan
