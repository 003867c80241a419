#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/calendar_date.h"
#include "engine/effective_rate.h"
#include "engine/indexation.h"
#include "engine/plan_builder.h"
#include "engine/rate_solver.h"

namespace quotaplan {
namespace {

// A plan of range(0) monthly instalments; range(1) = 1 changes the rate at every
// instalment, so every row starts a segment of its own. The rates stay low enough for
// (1 + i)^32767 to fit in 32 bits.
void BM_BuildPlan(benchmark::State& state) {
    const auto count = static_cast<std::int16_t>(state.range(0));
    const bool changeEveryInstalment = state.range(1) != 0;
    std::vector<float> rates(count, 0.01f);
    if (changeEveryInstalment) {
        for (int k = 1; k < count; k += 2) rates[k] = 0.02f;
    }
    const CalendarDate contract = *CalendarDate::FromYmd(2006, 1, 31);
    const CalendarDate first = *CalendarDate::FromYmd(2006, 2, 28);
    FinancialPlan plan;
    for (auto _ : state) {
        const float R = BuildPlan(plan, 250000, 25000, 2500, count, 12, 0.01f, 2, true, false,
                                  false, contract, first, CalendarDate(), rates, 1);
        benchmark::DoNotOptimize(R);
        benchmark::DoNotOptimize(plan.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BuildPlan)
    ->ArgNames({"n", "change"})
    ->Args({12, 0})
    ->Args({12, 1})
    ->Args({360, 0})
    ->Args({360, 1})
    ->Args({32767, 0})
    ->Args({32767, 1})
    ->Unit(benchmark::kMicrosecond);

// The rate search on the 30-year mortgage-like contract and on the case where the bracket
// closes on neighbouring 32-bit numbers.
void BM_SolveRate(benchmark::State& state) {
    const bool hardCase = state.range(0) != 0;
    const float V = hardCase ? 1000000.0f : 250000.0f;
    const std::int16_t n = hardCase ? 20 : 360;
    const std::int16_t m = hardCase ? 1 : 12;
    const float R = hardCase ? 101852.2f : 1498.88f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SolveRate(V, 0, 0, n, m, R, 4, true, false));
    }
}
BENCHMARK(BM_SolveRate)->ArgName("hard")->Arg(0)->Arg(1);

void BM_EffectiveRate(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            EffectiveRate(30000, 250, 3000, 3000, 36, 12, 761.97f, 5, true, false));
    }
}
BENCHMARK(BM_EffectiveRate);

// Indexing a range(0)-instalment monthly contract on a daily series of 27 years (one value
// a day since 1999, as the Euribor history is published); range(1) = 1 hands the series in
// reverse, so that it must be ordered first.
void BM_IndexRates(benchmark::State& state) {
    const auto count = static_cast<std::int16_t>(state.range(0));
    const CalendarDate seriesStart = *CalendarDate::FromYmd(1999, 1, 4);
    std::vector<IndexValue> series;
    for (int day = 0; day < 27 * 365; ++day) {
        series.push_back(
            {CalendarDate::FromSerial(seriesStart.Serial() + day), 3.0 + (day % 500) / 1000.0});
    }
    if (state.range(1) != 0) std::reverse(series.begin(), series.end());
    const IndexedContract contract{
        {*CalendarDate::FromYmd(2000, 1, 15), *CalendarDate::FromYmd(2000, 2, 15), count, 12,
         PaymentTiming::Arrears},
        1.5};
    for (auto _ : state) {
        auto rates = IndexRates(series, contract);
        benchmark::DoNotOptimize(rates);
    }
}
BENCHMARK(BM_IndexRates)
    ->ArgNames({"n", "reversed"})
    ->Args({12, 0})
    ->Args({360, 0})
    ->Args({360, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quotaplan

BENCHMARK_MAIN();
