#include <benchmark/benchmark.h>

#include <filesystem>

#include "engine/financial_plan.h"
#include "output/contract_header.h"
#include "output/excel_export.h"
#include "output/text_export.h"
#include "output/xls_workbook.h"

namespace quotaplan {
namespace {

FinancialPlan MonthlyPlan(int n) {
    FinancialPlan plan;
    plan.PlanReady = true;
    plan.Valore = 100000;
    plan.Maxicanone = 5000;
    plan.DataMaxi = CalendarDate::FromYmdCarrying(2006, 1, 15);
    plan.Riscatto = 2500;
    plan.InteressiRiscatto = 12.5f;
    for (int i = 0; i < n; ++i) {
        PlanRow row;
        row.Data = CalendarDate::FromYmdCarrying(2006, 2 + i, 15);
        row.Tasso = 0.0525f;
        row.QCapitale = 250.0f + static_cast<float>(i % 500);
        row.QInteressi = 40.25f;
        row.DebitoRes = static_cast<float>(n - i) * 250.0f;
        plan.rows.push_back(row);
    }
    return plan;
}

ContractHeader Header() {
    ContractFormTexts form;
    form.tipo = "Leasing";
    form.descrizione = "Banco";
    form.valBene = "100000";
    form.maxi = "5000";
    form.rate = "360";
    form.periodicita = "Mensile";
    form.dataContratto = "15/01/2006";
    return BuildContractHeader(form);
}

// The workbook's bytes in memory: sheet layout, shared strings, records, compound file.
void BM_BuildXls(benchmark::State& state) {
    const FinancialPlan plan = MonthlyPlan(static_cast<int>(state.range(0)));
    const ContractHeader header = Header();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = BuildXlsWorkbook(ExcelPlanSheet(header, plan));
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_BuildXls)->Arg(360)->Arg(32767)->Unit(benchmark::kMillisecond);

// The whole export to a file: layout, bytes, temporary file flushed to disk, rename.
void BM_ExportExcel(benchmark::State& state) {
    const FinancialPlan plan = MonthlyPlan(static_cast<int>(state.range(0)));
    const ContractHeader header = Header();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "quotaplan-output-bench";
    for (auto _ : state) {
        const ExportResult result = ExportExcel(folder, "Banco", header, plan);
        if (!result.Ok()) state.SkipWithError(result.message.c_str());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExportExcel)->Arg(360)->Arg(32767)->Unit(benchmark::kMillisecond);

void BM_TextExportBytes(benchmark::State& state) {
    const FinancialPlan plan = MonthlyPlan(static_cast<int>(state.range(0)));
    const ContractHeader header = Header();
    for (auto _ : state) benchmark::DoNotOptimize(TextExportBytes(header, plan));
}
BENCHMARK(BM_TextExportBytes)->Arg(360)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quotaplan

BENCHMARK_MAIN();
