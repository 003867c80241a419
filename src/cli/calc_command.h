#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/calc_options.h"
#include "engine/contract_calculation.h"
#include "engine/contract_terms.h"
#include "engine/financial_plan.h"
#include "engine/usury.h"

namespace quotaplan {

// The texts the contract form's input fields would hold with these options once the user
// left them: amounts "#,##0.00", rates "0.00", each from the number as given (64 bits, so
// every cent given is kept). The calculation reads them in 32 bits, as the window reads its
// fields; --save stores them and --export heads its files with them.
struct GivenFields {
    std::string valBene, maxi, riscatto, tasso, spread, spContratto, spRata;
};
GivenFields GivenFieldsOf(const CalcOptions& options);

// The usury check of a calculation: the category it was judged by (empty: the financing type
// has none), and the verdict, none when no threshold is in force or there is no TAEG.
struct CalcUsury {
    std::string category;
    std::optional<UsuryJudgement> judgement;
};

// What one calculation produced: the figure asked for, the effective rate, the TAEG and,
// for the instalment, the plan (to the cent with --plan cents).
struct CalcOutcome {
    GivenFields fields;  // the form's input texts
    ExactAmounts exact;  // the same amounts to the cent
    SolveTarget target = SolveTarget::Instalment;
    float instalment = 0;
    float nominalRatePercent = 0;
    float value = 0;
    float effectiveRate = 0;
    TaegSolution taeg;    // without a rate when none fits the contract's flows
    ContractTerms terms;  // the contract as calculated, results included
    FinancialPlan plan;   // filled by the instalment calculation only
    std::optional<CalcUsury> usury;  // set when the usury check was asked for
};

// Checks the options as the "Calcola" command checks its form (the description aside) and
// runs the calculation. A refusal comes back as a CliFailure with exit status 2 and the
// command's Italian message; an arithmetic error as exit status 1 with its number and
// description.
std::variant<CalcOutcome, CliFailure> RunCalculation(const CalcOptions& options);

// The outcome as the JSON document the command line prints, or the CSV plan lines.
std::string CalcOutcomeJson(const CalcOutcome& outcome);
std::string CalcOutcomeCsv(const CalcOutcome& outcome);

// The plan's rows as the JSON array the calculation prints ("[\n  {\"type\": ...},\n  ...\n]"),
// exact decimals for a plan to the cent.
std::string PlanJson(const FinancialPlan& plan);

}  // namespace quotaplan
