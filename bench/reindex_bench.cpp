// Re-indexing the portfolio: 10,000 indexed contracts of 360 monthly instalments, where a
// new value of the reference rate changes the last two thirds of every plan (instalments
// 121-360 and the buy-out line), on SQLite and, with QUOTAPLAN_BENCH_PG set (see
// postgres_archive_bench.cpp), on PostgreSQL. Each iteration imports the value (untimed)
// and re-indexes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <optional>

#include "data/archive_setup.h"
#include "data/database.h"
#include "data/portfolio_reindex.h"
#include "data/postgres_engine.h"
#include "data_archive_generator.h"

namespace quotaplan {
namespace {

constexpr int kContracts = 10000;
constexpr const char* kToday = "2026-06-01";

// Every contract: 100.000, maxi 10.000, buy-out 1.000, "Euribor 3 mesi" (ID 3) plus 1 %,
// signed 15/01/2020, 360 monthly instalments from 15/02/2020.
std::string ContractsSql(const std::string& table, bool quoted) {
    const auto q = [quoted](const char* name) {
        return quoted ? "\"" + std::string(name) + "\"" : "[" + std::string(name) + "]";
    };
    return "INSERT INTO " + table + " (" + q("ID") + ", " + q("ID Tipologia") + ", " +
           q("DescBene") + ", " + q("Valore") + ", " + q("Maxicanone") + ", " + q("Riscatto") +
           ", " + q("Periodicita") + ", " + q("NumRate") + ", " + q("DataContratto") + ", " +
           q("DataInizio") + ", " + q("Tasso") + ", " + q("ID TassoRif") + ", " + q("Spread") +
           ", " + q("Anticipato") + ", " + q("Semplice") + ", " + q("SpeseContratto") + ", " +
           q("SpeseAddebito") + ", " + q("IntRiscatto") + ") ";
}

// The value that moves instalments 121-360: a new rate from 15/01/2030 each iteration.
void ImportNewQuarter(Database& db, int iteration) {
    db.Execute(
        "DELETE FROM tabValTxRiferimento WHERE [ID TxRiferimento] = 3 AND Data = #1/15/2030#");
    db.Execute(
        "INSERT INTO tabValTxRiferimento ([ID TxRiferimento], Data, Valore) VALUES (3, "
        "#1/15/2030#, " +
        std::string(iteration % 2 == 0 ? "2.5" : "3") + ")");
    if (!db.Errors().empty()) throw std::runtime_error(db.Errors().front().description);
}

void Reindex(benchmark::State& state, Database& db) {
    const CalendarDate today = *CalendarDate::FromIso(kToday);
    // The plans as the index makes them, before the first new value.
    const ReindexReport first = ReindexPortfolio(db, {}, today, {});
    if (first.failure || first.contracts != kContracts) {
        state.SkipWithError("the first re-indexing failed");
        return;
    }
    static int iteration = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ImportNewQuarter(db, ++iteration);
        state.ResumeTiming();
        const ReindexReport report = ReindexPortfolio(db, {}, today, {});
        if (report.failure || report.changed != kContracts || report.rows != kContracts * 241) {
            state.SkipWithError("re-indexing did not rewrite 241 rows of each contract");
            break;
        }
    }
}

void BM_ReindexSqlite(benchmark::State& state) {
    const auto file = std::filesystem::temp_directory_path() / "quotaplan-reindex-bench.mdb";
    bench::CreateEmptyArchive(file);
    sqlite3* handle = nullptr;
    sqlite3_open(file.c_str(), &handle);
    bench::Exec(handle,
                "BEGIN; WITH RECURSIVE n(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM n WHERE "
                "id < " +
                    std::to_string(kContracts) + ") " + ContractsSql("tabContratti", false) +
                    "SELECT id, 1, 'Contratto indicizzato ' || id, 100000, 10000, 1000, 12, 360, "
                    "'2020-01-15', '2020-02-15', 2, 3, 1, 0, 0, 0, 0, 0 FROM n; "
                    "INSERT INTO tabValTxRiferimento ([ID TxRiferimento], Data, Valore) VALUES "
                    "(3, '2019-01-01', 1.5); COMMIT; ANALYZE");
    sqlite3_close(handle);
    Database db = Database::Open(file);
    Reindex(state, db);
}
BENCHMARK(BM_ReindexSqlite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

std::optional<std::string> Server() {
    const char* uri = std::getenv("QUOTAPLAN_BENCH_PG");
    if (uri == nullptr || *uri == '\0') return std::nullopt;
    return std::string(uri);
}

void BM_ReindexPostgresql(benchmark::State& state) {
    if (!Server()) {
        state.SkipWithError("QUOTAPLAN_BENCH_PG non impostata: nessun server PostgreSQL");
        return;
    }
    const std::string name = "qp_bench_reindex";
    {
        Database admin = Database::Connect(*Server());
        admin.Execute("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
        if (!admin.Execute("CREATE DATABASE " + name)) {
            state.SkipWithError("cannot create the archive");
            return;
        }
    }
    Database db = Database::Connect(PostgresUriWithDatabase(*Server(), name));
    const auto made = InitArchive(db);
    if (!made.ok) {
        state.SkipWithError(made.message.c_str());
        return;
    }
    db.ExecuteScript(ContractsSql("\"tabContratti\"", true) +
                     "SELECT id, 1, 'Contratto indicizzato ' || id, 100000, 10000, 1000, 12, 360, "
                     "DATE '2020-01-15', DATE '2020-02-15', 2, 3, 1, 0, 0, 0, 0, 0 FROM "
                     "generate_series(1, " +
                     std::to_string(kContracts) +
                     ") AS id; "
                     "INSERT INTO \"tabValTxRiferimento\" (\"ID TxRiferimento\", \"Data\", "
                     "\"Valore\") VALUES (3, DATE '2019-01-01', 1.5); ANALYZE;");
    db.AdvanceIdentity("tabContratti");
    if (!db.Errors().empty()) {
        state.SkipWithError(db.Errors().front().description.c_str());
        return;
    }
    Reindex(state, db);
}
BENCHMARK(BM_ReindexPostgresql)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace quotaplan

BENCHMARK_MAIN();
