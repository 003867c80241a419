#pragma once

// What the archive benchmarks of both engines share: the plan and form of a contract to
// save, and the loop that saves them.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "common/clock.h"
#include "common/recording_message_boxes.h"
#include "data/contract_store.h"
#include "data/summary_queries.h"
#include "data/yearly_statement_query.h"

namespace quotaplan::bench {

inline FinancialPlan Plan(int n) {
    FinancialPlan plan;
    plan.PlanReady = true;
    plan.Valore = 100000;
    plan.Maxicanone = 10000;
    plan.DataMaxi = *CalendarDate::FromYmd(2024, 1, 15);
    plan.Riscatto = 1000;
    float debt = 90000;
    for (int k = 1; k <= n; ++k) {
        PlanRow row;
        row.Data = CalendarDate::FromYmdCarrying(2024, 1 + k, 15);
        row.Tasso = 0.0525f;
        row.QCapitale = 90000.0f / n;
        row.QInteressi = debt * 0.0525f / 12;
        row.Importo = row.QCapitale + row.QInteressi;
        debt -= row.QCapitale;
        row.DebitoRes = debt;
        plan.rows.push_back(row);
    }
    return plan;
}

inline ContractForm Form(const std::string& name, int n) {
    ContractForm form;
    form.txtDescBene = name;
    form.txtValBene = "100.000,00";
    form.txtMaxi = "10.000,00";
    form.txtTasso = "5,25";
    form.txtSpread = "0,00";
    form.txtRate = std::to_string(n);
    form.txtRiscatto = "1.000,00";
    form.txtContract = "15/01/2024";
    form.txtStart = "15/02/2024";
    form.txtSpContratto = "0,00";
    form.txtSpRata = "0,00";
    form.cboTipoLea = "Leasing";
    form.cboTxRif = "Fisso";
    return form;
}

// Each iteration saves a new contract with its whole plan, committed to disk.
inline void SaveContracts(benchmark::State& state, Database& db, int rows) {
    RecordingMessageBoxes boxes;
    ContractStore store(db, boxes);
    const auto plan = Plan(rows);
    static int n = 0;  // names stay unique across repetitions on one archive
    for (auto _ : state) {
        const auto form = Form("Contratto " + std::to_string(++n), rows);
        const auto saved =
            store.Save(form, plan, PlanOwner::For(0, form), SaveMode::NewContract, 0);
        if (!saved.planWritten) state.SkipWithError("save failed");
    }
}

// The reading benchmarks on an archive of 10,000 contracts x 360 instalments, on 15/06/2025,
// named prefix + "WeightedAverageRate", "TotalResidualDebt", "InstalmentsThisMonth",
// "TreeEntries" and "LoadContract". `archive` gives its connection, made at the first call,
// or nullptr when there is none: the benchmark is then skipped, saying `why`.
inline void RegisterLargeArchiveQueries(const std::string& prefix,
                                        std::function<Database*()> archive,
                                        const std::string& why) {
    using Query = std::function<void(Database&)>;
    const std::pair<const char*, Query> queries[] = {
        {"WeightedAverageRate",
         [](Database& db) { benchmark::DoNotOptimize(WeightedAverageRate(db)); }},
        {"TotalResidualDebt", [](Database& db) { benchmark::DoNotOptimize(TotalResidualDebt(db)); }},
        {"InstalmentsThisMonth",
         [](Database& db) { benchmark::DoNotOptimize(InstalmentsThisMonth(db)); }},
        {"TreeEntries",
         [](Database& db) {
             RecordingMessageBoxes boxes;
             benchmark::DoNotOptimize(ContractStore(db, boxes).TreeEntries());
         }},
        {"YearlyStatementAll",
         [](Database& db) { benchmark::DoNotOptimize(ArchiveYearlyTotals(db, {}).Years()); }},
        {"LoadContract",
         [](Database& db) {
             RecordingMessageBoxes boxes;
             ContractStore store(db, boxes);
             benchmark::DoNotOptimize(store.Load(5000));
             benchmark::DoNotOptimize(store.LoadRateRows(5000));
         }},
    };
    for (const auto& [name, query] : queries) {
        benchmark::RegisterBenchmark((prefix + name).c_str(),
                                     [archive, why, query](benchmark::State& state) {
                                         Database* db = archive();
                                         if (db == nullptr) {
                                             state.SkipWithError(why.c_str());
                                             return;
                                         }
                                         ScopedToday today(*CalendarDate::FromYmd(2025, 6, 15));
                                         for (auto _ : state) query(*db);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    }
}

}  // namespace quotaplan::bench
