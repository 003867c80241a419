#include "engine/contract_calculation.h"

#include "engine/contract_flows.h"
#include "engine/effective_rate.h"
#include "engine/plan_builder.h"
#include "engine/rate_solver.h"

namespace quotaplan {
namespace {

constexpr std::int16_t kInstalmentDecimals = 2;
constexpr std::int16_t kRateDecimals = 4;
constexpr std::int16_t kValueDecimals = 0;

InstalmentCalendar CalendarOf(const ContractTerms& terms) {
    return {terms.DataContratto, terms.DataInizio, terms.NumRate, terms.Periodicita,
            terms.Anticipato ? PaymentTiming::Advance : PaymentTiming::Arrears};
}

// A rate of the list as the exact hundredth of a percent it was typed with.
Percent ListedRate(float fraction) {
    return Percent::FromHundredths(RoundHalfUpScaled(static_cast<long double>(fraction), 10000));
}

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

Money CalculateInstalmentToTheCent(const ContractTerms& terms, const ExactAmounts& exact,
                                   const std::vector<float>& rates, FinancialPlan& plan) {
    CentsPlanTerms cents;
    cents.value = exact.value;
    cents.maxi = exact.maxi;
    cents.buyout = exact.buyout;
    cents.calendar = CalendarOf(terms);
    cents.capitalisation = terms.Semplice ? Capitalisation::Simple : Capitalisation::Compound;
    cents.buyoutInterest = terms.IntRiscatto ? BuyoutInterest::Yes : BuyoutInterest::No;
    cents.buyoutDate = terms.DataRiscatto;
    cents.rates.reserve(rates.size());
    for (const float rate : rates) cents.rates.push_back(ListedRate(rate));
    CentsPlan built = BuildCentsPlan(cents);
    const Money instalment = built.instalment;
    SetPlanToTheCent(plan, std::move(built));
    return instalment;
}

TaegSolution CalculateTaeg(const ContractTerms& terms, const ExactAmounts& exact,
                           const FinancialPlan* plan) {
    const ContractCosts costs{terms.DataContratto, exact.value, exact.maxi, exact.contractFees,
                              exact.instalmentFee};
    if (plan != nullptr)
        return SolveTaeg(ContractFlows(costs, PlanLines(*plan, DerivedLines::WhenNotZero)));
    const InstalmentSchedule schedule{
        CalendarOf(terms), exact.instalment, exact.buyout, terms.DataRiscatto,
        BuyoutDueOf(CalendarOf(terms).timing,
                    terms.Centesimo ? PlanKind::ToTheCent : PlanKind::Classic)};
    return SolveTaeg(ContractFlows(costs, ScheduledLines(schedule)));
}

}  // namespace quotaplan
