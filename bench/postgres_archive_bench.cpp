// The archive timings of data_archive_bench on PostgreSQL: saving a plan of 360 rows (into a
// new archive and into one of 10,000 contracts x 360 instalments), the three summary queries,
// the tree and loading one contract. The server is QUOTAPLAN_BENCH_PG, a URI of a database
// from which the benchmark may create others ("postgresql:///postgres?host=/tmp/x&user=me");
// without it every benchmark is skipped. The large archive is generated on the server once
// and kept (its name carries a digest of the schema); each run saves into a copy of it.
#include <benchmark/benchmark.h>

#include "archive_bench_support.h"
#include "postgres_archive_generator.h"

namespace quotaplan {
namespace {

using bench::Admin;
using bench::LargeArchive;
using bench::NewArchive;
using bench::Require;
using bench::SaveContracts;
using bench::Server;

constexpr const char* kNoServer = "QUOTAPLAN_BENCH_PG non impostata: nessun server PostgreSQL";

bool Skipped(benchmark::State& state) {
    if (Server()) return false;
    state.SkipWithError(kNoServer);
    return true;
}

// Into an archive that starts empty.
void BM_PgSavePlan(benchmark::State& state) {
    if (Skipped(state)) return;
    static const std::string name = NewArchive("qp_bench_save");
    auto db = Database::Connect(PostgresUriWithDatabase(*Server(), name));
    SaveContracts(state, db, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_PgSavePlan)
    ->Arg(360)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Into a copy of the archive of 10,000 contracts, made once a run.
void BM_PgSavePlanIntoLargeArchive(benchmark::State& state) {
    if (Skipped(state)) return;
    static const std::string name = [] {
        const std::string source = LargeArchive();
        auto admin = Admin();
        admin.Execute("DROP DATABASE IF EXISTS qp_bench_save_large WITH (FORCE)");
        Require(admin.Execute("CREATE DATABASE qp_bench_save_large TEMPLATE " + source), admin,
                "copy");
        return std::string("qp_bench_save_large");
    }();
    static Database db = Database::Connect(PostgresUriWithDatabase(*Server(), name));
    SaveContracts(state, db, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_PgSavePlanIntoLargeArchive)
    ->Arg(360)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

const bool kQueriesRegistered =
    (bench::RegisterLargeArchiveQueries(
         "BM_Pg",
         []() -> Database* {
             if (!Server()) return nullptr;
             static Database db =
                 Database::Connect(PostgresUriWithDatabase(*Server(), LargeArchive()));
             return &db;
         },
         kNoServer),
     true);

}  // namespace
}  // namespace quotaplan

BENCHMARK_MAIN();
