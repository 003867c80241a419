#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "common/number_text.h"

namespace {

using quotaplan::CalendarDate;

// The four amounts each row of a 360-instalment plan shows (instalment, capital, interest,
// residual debt), for 250,000 at 4.5% a year, as 32-bit numbers like the engine's.
std::vector<float> PlanAmounts() {
    const double principal = 250000.0;
    const double monthlyRate = 0.045 / 12;
    const int count = 360;
    const double instalment = principal * monthlyRate / (1 - std::pow(1 + monthlyRate, -count));
    std::vector<float> amounts;
    double residual = principal;
    for (int row = 0; row < count; ++row) {
        const double interest = residual * monthlyRate;
        const double capital = instalment - interest;
        residual -= capital;
        amounts.push_back(static_cast<float>(instalment));
        amounts.push_back(static_cast<float>(capital));
        amounts.push_back(static_cast<float>(interest));
        amounts.push_back(static_cast<float>(residual));
    }
    return amounts;
}

void BM_FormatPlanAmounts360(benchmark::State& state) {
    const std::vector<float> amounts = PlanAmounts();
    for (auto _ : state) {
        for (float amount : amounts) {
            std::string text = quotaplan::FormatNumber(amount, 1);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(amounts.size()));
}
BENCHMARK(BM_FormatPlanAmounts360);

void BM_FormatPlanDates360(benchmark::State& state) {
    const CalendarDate first = *CalendarDate::FromYmd(2026, 1, 31);
    for (auto _ : state) {
        for (int row = 0; row < 360; ++row) {
            std::string text =
                quotaplan::FormatDate(CalendarDate::FromSerial(first.Serial() + 30 * row), 1);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * 360);
}
BENCHMARK(BM_FormatPlanDates360);

void BM_ParseAmount32(benchmark::State& state) {
    for (auto _ : state) {
        float value = quotaplan::ParseNumber32("1.234.567,89");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_ParseAmount32);

}  // namespace

BENCHMARK_MAIN();
