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

// How a plan's amounts print: Exact for a plan to the cent; for a classic plan the shortest
// 32-bit number (Float32, the calculator's) or the cents its grid shows (Cents).
enum class PlanNumbers { Exact, Float32, Cents };

// The plan's rows as a JSON array, one row a line.
std::string PlanJson(const FinancialPlan& plan, PlanNumbers numbers);
// PlanJson appended to `json`.
void AppendPlanJson(std::string& json, const FinancialPlan& plan, PlanNumbers numbers);

// ", "taeg": 9.68": the percentage with two decimals; when no single rate fits, null and the
// reason in "taeg_note".
std::string TaegJson(const TaegSolution& taeg);

// ", "capitalisation": "compound"|"simple", "timing": "arrears"|"advance".
std::string TermsJson(const ContractTerms& terms);

// ", "usury": {...}": the category, the TEGM, the threshold, the TEG and the verdict; null
// for what is missing. Empty when the check was not asked for.
std::string UsuryJson(const CalcOutcome& outcome);

// The outcome as the JSON document the command line prints, or the CSV plan lines.
std::string CalcOutcomeJson(const CalcOutcome& outcome);
std::string CalcOutcomeCsv(const CalcOutcome& outcome);

}  // namespace quotaplan
