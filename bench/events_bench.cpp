// The events of a contract in the engine: the early-payoff statement of a 360-instalment
// contract, and its plan re-derived after a partial prepayment.
#include <benchmark/benchmark.h>

#include "engine/plan_events.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

// 200.000 at 4 % over 360 monthly instalments, to the cent, simple or compound.
struct Contract {
    SignedTerms terms;
    CentsPlan plan;
};

Contract Mortgage(Capitalisation capitalisation) {
    CentsPlanTerms plan;
    plan.value = Money::FromCents(20000000);
    plan.calendar = {Ymd(2026, 1, 15), Ymd(2026, 2, 15), 360, 12, PaymentTiming::Arrears};
    plan.capitalisation = capitalisation;
    plan.rates.assign(360, Percent::FromHundredths(400));
    Contract contract;
    contract.terms.contractDate = plan.calendar.contractDate;
    contract.terms.capitalisation = capitalisation;
    contract.terms.contractFees = Money::FromCents(150000);
    contract.plan = BuildCentsPlan(plan);
    return contract;
}

// Ten years in, between two due dates: the residual, its interest since the last due date,
// the consumer penalty and the refund by the interest curve.
void BM_PayoffStatement360(benchmark::State& state) {
    const Contract contract = Mortgage(Capitalisation::Simple);
    PayoffOptions options;
    options.method = state.range(0) == 0 ? PayoffMethod::Residual : PayoffMethod::Discount;
    options.penalty = {PenaltyRegime::Consumer, {}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ComputePayoffStatement(contract.terms, contract.plan, Ymd(2036, 1, 25), options));
    }
}
BENCHMARK(BM_PayoffStatement360)
    ->ArgName("discount")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// A prepayment on the first due date: 359 instalments re-derived (the event checked and the
// plan copied, as recording it does).
void BM_PrepaymentReDerives360(benchmark::State& state) {
    const Contract contract =
        Mortgage(state.range(0) == 0 ? Capitalisation::Simple : Capitalisation::Compound);
    const ContractEvent event{
        Ymd(2026, 2, 15),
        PrepaymentOptions{
            Money::FromCents(2000000),
            state.range(1) == 0 ? PrepaymentEffect::LowerInstalment : PrepaymentEffect::ShortenTerm,
            {PenaltyRegime::Consumer, {}}},
        ""};
    for (auto _ : state) {
        benchmark::DoNotOptimize(ApplyEvent(contract.terms, contract.plan, event));
    }
}
BENCHMARK(BM_PrepaymentReDerives360)
    ->ArgNames({"compound", "shorten"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMicrosecond);

// The signed plan through three events: two prepayments and the payoff.
void BM_PlanThroughThreeEvents360(benchmark::State& state) {
    const Contract contract = Mortgage(Capitalisation::Compound);
    const auto prepay = [](CalendarDate date, PrepaymentEffect effect) {
        return ContractEvent{date, PrepaymentOptions{Money::FromCents(1000000), effect, {}}, ""};
    };
    const std::vector<ContractEvent> events = {
        prepay(Ymd(2027, 1, 15), PrepaymentEffect::LowerInstalment),
        prepay(Ymd(2030, 1, 15), PrepaymentEffect::ShortenTerm),
        {Ymd(2036, 1, 25), PayoffOptions{}, ""}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlanWithEvents(contract.terms, contract.plan, events));
    }
}
BENCHMARK(BM_PlanThroughThreeEvents360)->Unit(benchmark::kMicrosecond);

// The signed plan through a payment holiday (interest deferred), a surrogation (new rate and
// term) and a prepayment: the plan's life of a mortgage re-derived from its events.
void BM_PlanThroughHolidayAndSurrogation360(benchmark::State& state) {
    const Contract contract = Mortgage(Capitalisation::Compound);
    RenegotiationOptions surrogation;
    surrogation.rate = Percent::FromHundredths(300);
    surrogation.count = 300;
    surrogation.lender = "Banca Due";
    const std::vector<ContractEvent> events = {
        {Ymd(2027, 1, 15),
         SuspensionOptions{12, SuspensionKind::Whole, SuspendedInterest::Deferred, {}}, ""},
        {Ymd(2029, 1, 15), surrogation, ""},
        {Ymd(2031, 1, 15),
         PrepaymentOptions{Money::FromCents(1000000), PrepaymentEffect::ShortenTerm, {}}, ""}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlanWithEvents(contract.terms, contract.plan, events));
    }
}
BENCHMARK(BM_PlanThroughHolidayAndSurrogation360)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quotaplan

BENCHMARK_MAIN();
