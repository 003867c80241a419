#pragma once

// What the archive benchmarks of both engines share: the plan and form of a contract to
// save, and the loop that saves them.

#include <benchmark/benchmark.h>

#include <string>

#include "common/recording_message_boxes.h"
#include "data/contract_store.h"

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

}  // namespace quotaplan::bench
