#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "common/calendar_date.h"
#include "engine/calculation_request.h"

namespace quotaplan {

// The options of a calculation: those taking a value, and the flags.
const std::set<std::string>& CalcValueOptions();
const std::set<std::string>& CalcFlagOptions();

// Reads "3.5" (C form, "." decimal, optional sign) in 64 bits; nullopt on anything else,
// including values beyond the 32-bit range that the calculation reads them in.
std::optional<double> ReadDecimal(const std::string& text);

// The contract description as the window's field keeps it: its first 50 characters
// (UTF-8 characters, not bytes).
std::string DescriptionOf(std::string_view text);

// Reads "YYYY-MM-DD"; nullopt when the text is not a real day.
std::optional<CalendarDate> ReadIsoDate(const std::string& text);

// Fills `options` from a parsed command line. An unreadable number, date or choice gives
// a CliFailure with exit status 2 that names the option.
std::optional<CliFailure> ReadCalcOptions(const CommandLine& line, CalcOptions& options);

}  // namespace quotaplan
