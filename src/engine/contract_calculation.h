#pragma once

#include <vector>

#include "engine/contract_terms.h"
#include "engine/financial_plan.h"

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

}  // namespace quotaplan
