#pragma once

#include <optional>
#include <vector>

#include "engine/contract_terms.h"
#include "engine/financial_plan.h"
#include "engine/money.h"
#include "engine/taeg.h"

namespace quotaplan {

// The three calculations of the Calculate command on one contract, shared by the window
// and the command-line calculator. Each reads only the fields it names; the compound flag
// is !Semplice, the periods a year Periodicita, the annual rate AnnualRate(). Each raises
// the engine's RunTimeError on arithmetic failure (11, 6, 5).

// The instalment with 2 decimals; replaces `plan` with the contract's plan (BuildPlan from
// row 1). Reads Valore, Maxicanone, Riscatto, NumRate, Periodicita, Tasso, Spread,
// Semplice, Anticipato, IntRiscatto, DataContratto, DataInizio, DataRiscatto; `rates` are
// the per-instalment annual fractions, at least NumRate of them (RatesForPlan).
float CalculateInstalment(const ContractTerms& terms, const std::vector<float>& rates,
                          FinancialPlan& plan);

// The rate search's answer for the instalment in terms.Rata.
struct SolvedRate {
    float annualRate = 0;      // j as a fraction, 4 decimals; 0 when no rate fits
    float nominalPercent = 0;  // j * 100 - Spread in 32 bits: what the rate field shows
};

// SolveRate with 4 decimals on Valore, Maxicanone, Riscatto, NumRate, Periodicita, Rata.
SolvedRate CalculateRate(const ContractTerms& terms);

// AssetValue with 0 decimals (whole currency units) on Maxicanone, Riscatto, NumRate,
// Periodicita, Rata and AnnualRate().
float CalculateAssetValue(const ContractTerms& terms);

// The effective rate (4 decimals) on Valore, SpeseContratto, Maxicanone, Riscatto,
// NumRate, Periodicita, Rata and SpeseAddebito, as they stand after a calculation.
float CalculateEffectiveRate(const ContractTerms& terms);

// The contract's amounts to the cent, read from the same texts as the 32-bit fields of
// ContractTerms: the plan to the cent and the TAEG count with these.
struct ExactAmounts {
    Money value;
    Money maxi;
    Money buyout;
    Money contractFees;
    Money instalmentFee;
    Money instalment;  // the instalment field, for the TAEG when no plan is built
};

// The plan to the cent (BuildCentsPlan) on terms' NumRate, Periodicita, Semplice,
// Anticipato, IntRiscatto and dates, the amounts in `exact` and the per-instalment rates
// `rates` (fractions as RatesForPlan gives them, each taken to the hundredth of a percent
// the rate list holds); replaces `plan` (SetPlanToTheCent) and returns the instalment R.
// Raises the errors of BuildCentsPlan.
Money CalculateInstalmentToTheCent(const ContractTerms& terms, const ExactAmounts& exact,
                                   const std::vector<float>& rates, FinancialPlan& plan);

// The contract's TAEG (SolveTaeg on ContractFlows): on the lines of `plan` when one was just
// built, otherwise on NumRate instalments of exact.instalment (ScheduledLines, the buy-out
// where the plan Centesimo chooses would put it); without a rate when none fits, with the
// reason. Raises RunTimeError 5 for a due date beyond 9999.
TaegSolution CalculateTaeg(const ContractTerms& terms, const ExactAmounts& exact,
                           const FinancialPlan* plan);

}  // namespace quotaplan
