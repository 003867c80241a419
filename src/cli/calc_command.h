#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/calc_options.h"
#include "engine/calculation_request.h"

namespace quotaplan {

// CalculateRequest on the options, today the system's: a refusal comes back as a CliFailure
// with exit status 2 and the command's Italian message; an arithmetic error as exit status 1
// with its number and description.
std::variant<CalcOutcome, CliFailure> RunCalculation(const CalcOptions& options);

// The outcome as the JSON document the command line prints, or the CSV plan lines.
std::string CalcOutcomeJson(const CalcOutcome& outcome);
std::string CalcOutcomeCsv(const CalcOutcome& outcome);

}  // namespace quotaplan
