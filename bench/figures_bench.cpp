#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "common/calendar_date.h"
#include "engine/cents_plan.h"
#include "engine/plan_builder.h"
#include "engine/taeg.h"

namespace quotaplan {
namespace {

const CalendarDate kContract = *CalendarDate::FromYmd(2026, 1, 15);
const CalendarDate kFirst = *CalendarDate::FromYmd(2026, 2, 15);

// The 30-year mortgage to the cent: 200.000 at 4 %, 360 monthly instalments; range(0)
// chooses simple (0) or compound (1) capitalisation. The classic plan of the same
// contract runs beside it for comparison.
void BM_CentsPlan360(benchmark::State& state) {
    CentsPlanTerms terms;
    terms.value = Money::FromCents(20000000);
    terms.calendar = {kContract, kFirst, 360, 12, PaymentTiming::Arrears};
    terms.capitalisation = state.range(0) ? Capitalisation::Compound : Capitalisation::Simple;
    terms.rates.assign(360, Percent::FromHundredths(400));
    for (auto _ : state) {
        CentsPlan plan = BuildCentsPlan(terms);
        benchmark::DoNotOptimize(plan.rows.data());
    }
}
BENCHMARK(BM_CentsPlan360)->ArgName("compound")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ClassicPlan360(benchmark::State& state) {
    const std::vector<float> rates(360, 0.04f);
    FinancialPlan plan;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildPlan(plan, 200000, 0, 0, 360, 12, 0.04f, 2, false, false,
                                           false, kContract, kFirst, CalendarDate(), rates, 1));
    }
}
BENCHMARK(BM_ClassicPlan360)->Unit(benchmark::kMicrosecond);

// The TAEG of a contract of range(0) monthly instalments with fees: the drawdown less the
// fees on the contract date, then the instalments plus their fee.
std::vector<DatedFlow> ContractFlowsOf(int count) {
    std::vector<DatedFlow> flows{{kContract, Money::FromCents(20000000 - 50000)}};
    for (int k = 0; k < count; ++k) {
        flows.push_back({AddCalendarMonths(kFirst, k), Money::FromCents(-(95483 + 300))});
    }
    flows.back().amount = Money::FromCents(-(95546 + 300));
    return flows;
}

void BM_SolveTaeg(benchmark::State& state) {
    const std::vector<DatedFlow> flows = ContractFlowsOf(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(SolveTaeg(flows));
}
BENCHMARK(BM_SolveTaeg)->ArgName("instalments")->Arg(12)->Arg(360)->Unit(benchmark::kMicrosecond);

// The same 360 instalments due on the 1st of each month from a contract signed on the 30th:
// every flow's time has days besides its months.
void BM_SolveTaegWithDays(benchmark::State& state) {
    std::vector<DatedFlow> flows = ContractFlowsOf(360);
    flows.front().date = *CalendarDate::FromYmd(2026, 1, 30);
    for (std::size_t k = 1; k < flows.size(); ++k) {
        flows[k].date =
            AddCalendarMonths(*CalendarDate::FromYmd(2026, 3, 1), static_cast<int>(k - 1));
    }
    for (auto _ : state) benchmark::DoNotOptimize(SolveTaeg(flows));
}
BENCHMARK(BM_SolveTaegWithDays)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quotaplan

BENCHMARK_MAIN();
