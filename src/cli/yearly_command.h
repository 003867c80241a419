#pragma once

#include <filesystem>
#include <iosfwd>
#include <set>
#include <string>

#include "cli/calc_options.h"
#include "cli/command_line.h"
#include "engine/yearly_statement.h"

namespace quotaplan {

// The yearly statement on the command line: --yearly with --id N (a stored contract),
// --all [--type T] (the archive, or one financing type) or the calculation options, and
// --year Y for one year.
const std::set<std::string>& YearlyValueOptions();
const std::set<std::string>& YearlyFlagOptions();

bool AsksForYearly(const CommandLine& line);
// True when the statement reads an archive (--id or --all), the configured one without --db.
bool YearlyUsesArchive(const CommandLine& line);

// Prints the years as JSON, a list of {"year", "capital", "interest", "fees", "paid"}, or
// with --format csv as lines "year;capital;interest;fees;paid" after that heading, amounts
// with "." and two decimals at most. Returns 0, 2 for bad input (nothing printed), 1 for a
// database or arithmetic error.
int RunYearlyCommand(const CommandLine& line, const CalcOptions& calc,
                     const std::filesystem::path& programFolder, std::ostream& out,
                     std::ostream& err);

// The years as the calculator prints them.
std::string YearlyJson(const std::vector<YearFigures>& years);
std::string YearlyCsv(const std::vector<YearFigures>& years);

}  // namespace quotaplan
