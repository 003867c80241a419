// The PDF of the plan and the chart's picture, drawn offscreen as the calculator draws them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>

#include "engine/plan_builder.h"
#include "output/contract_header.h"
#include "output/plan_chart.h"
#include "output/plan_pdf.h"

namespace quotaplan {
namespace {

// 200.000 with a maxi and a buy-out, n monthly instalments from 28/02/2026, at 4 %; at
// 0,01 % for the longest plans, whose annuity factor at 4 % overflows.
FinancialPlan MonthlyPlan(int n) {
    const float rate = n > 1000 ? 0.0001f : 0.04f;
    FinancialPlan plan;
    BuildPlan(plan, 200000, 20000, 10000, static_cast<std::int16_t>(n), 12, rate, 2, true, false,
              false, *CalendarDate::FromYmd(2026, 1, 31), *CalendarDate::FromYmd(2026, 2, 28),
              CalendarDate(), std::vector<float>(static_cast<std::size_t>(n), rate), 1);
    return plan;
}

ContractHeader Header(int n) {
    ContractFormTexts form;
    form.tipo = "Mutuo";
    form.descrizione = "Casa via Roma";
    form.valBene = "200000";
    form.maxi = "20000";
    form.spread = "1";
    form.tasso = "3";
    form.txRif = "Euribor 3 mesi";
    form.rate = std::to_string(n);
    form.periodicita = "Mensile";
    form.riscatto = "10000";
    form.dataContratto = "31/01/26";
    return BuildContractHeader(form);
}

// The bytes of the whole PDF: heading block, table pages and the chart's page.
void BM_PlanPdf(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const FinancialPlan plan = MonthlyPlan(n);
    const ContractHeader header = Header(n);
    const CalendarDate today = *CalendarDate::FromYmd(2026, 12, 6);
    PlanFigures figures;
    figures.instalment = "1.234,56";
    figures.contractFees = "500,00";
    figures.instalmentFee = "2,00";
    figures.taeg = "4,32%";
    figures.usuryVerdict = "Entro la soglia d'usura (soglia 9,1250 %)";
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string pdf = PlanPdfBytes("Casa via Roma", header, plan, figures, today);
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PlanPdf)->Arg(12)->Arg(360)->Arg(1000)->Unit(benchmark::kMillisecond);

// What the Grafico page does after each calculation before drawing: the bars from the plan
// (by year beyond 360 instalments) and the chart's series and axes.
void BM_PlanChart(benchmark::State& state) {
    const FinancialPlan plan = MonthlyPlan(static_cast<int>(state.range(0)));
    std::size_t bars = 0;
    for (auto _ : state) {
        const PlanChartData data = PlanChartDataOf(plan);
        const std::unique_ptr<QChart> chart = BuildPlanChart(data, "");
        bars = data.bars.size();
        benchmark::DoNotOptimize(chart.get());
    }
    state.counters["bars"] = static_cast<double>(bars);
}
BENCHMARK(BM_PlanChart)->Arg(360)->Arg(361)->Arg(32767)->Unit(benchmark::kMillisecond);

// The 1600 x 900 picture, before PNG compression.
void BM_PlanChartImage(benchmark::State& state) {
    const PlanChartData data = PlanChartDataOf(MonthlyPlan(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const QImage image = PlanChartImage(data, "Piano finanziario - Casa via Roma");
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PlanChartImage)
    ->Arg(36)
    ->Arg(360)
    ->Arg(1000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quotaplan

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
