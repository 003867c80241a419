#include "engine/contract_calculation.h"

#include "engine/effective_rate.h"
#include "engine/plan_builder.h"
#include "engine/rate_solver.h"

namespace quotaplan {
namespace {

constexpr std::int16_t kInstalmentDecimals = 2;
constexpr std::int16_t kRateDecimals = 4;
constexpr std::int16_t kValueDecimals = 0;

}  // namespace

float CalculateInstalment(const ContractTerms& terms, const std::vector<float>& rates,
                          FinancialPlan& plan) {
    return BuildPlan(plan, terms.Valore, terms.Maxicanone, terms.Riscatto, terms.NumRate,
                     terms.Periodicita, terms.AnnualRate(), kInstalmentDecimals, !terms.Semplice,
                     terms.Anticipato, terms.IntRiscatto, terms.DataContratto, terms.DataInizio,
                     terms.DataRiscatto, rates, 1);
}

SolvedRate CalculateRate(const ContractTerms& terms) {
    SolvedRate solved;
    solved.annualRate =
        SolveRate(terms.Valore, terms.Maxicanone, terms.Riscatto, terms.NumRate, terms.Periodicita,
                  terms.Rata, kRateDecimals, !terms.Semplice, terms.Anticipato);
    solved.nominalPercent = solved.annualRate * 100.0f - terms.Spread;
    return solved;
}

float CalculateAssetValue(const ContractTerms& terms) {
    return AssetValue(terms.Maxicanone, terms.Riscatto, terms.NumRate, terms.Periodicita,
                      terms.Rata, terms.AnnualRate(), kValueDecimals, !terms.Semplice,
                      terms.Anticipato);
}

float CalculateEffectiveRate(const ContractTerms& terms) {
    return EffectiveRate(terms.Valore, terms.SpeseContratto, terms.Maxicanone, terms.Riscatto,
                         terms.NumRate, terms.Periodicita, terms.Rata, terms.SpeseAddebito,
                         !terms.Semplice, terms.Anticipato);
}

}  // namespace quotaplan
