// The archive timings of data_archive_bench on PostgreSQL: saving a plan of 360 rows (into a
// new archive and into one of 10,000 contracts x 360 instalments), the three summary queries,
// the tree and loading one contract. The server is QUOTAPLAN_BENCH_PG, a URI of a database
// from which the benchmark may create others ("postgresql:///postgres?host=/tmp/x&user=me");
// without it every benchmark is skipped. The large archive is generated on the server once
// and kept (its name carries a digest of the schema); each run saves into a copy of it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <optional>

#include "archive_bench_support.h"
#include "data/archive_setup.h"
#include "data/archive_sql.h"
#include "data/postgres_engine.h"

namespace quotaplan {
namespace {

using bench::SaveContracts;

constexpr int kContracts = 10000;
constexpr int kInstalments = 360;

std::optional<std::string> Server() {
    const char* uri = std::getenv("QUOTAPLAN_BENCH_PG");
    if (uri == nullptr || *uri == '\0') return std::nullopt;
    return std::string(uri);
}

Database Admin() { return Database::Connect(*Server()); }

void Require(bool done, Database& db, const char* what) {
    if (!done) {
        throw std::runtime_error(std::string(what) + ": " +
                                 (db.Errors().empty() ? "?" : db.Errors().front().description));
    }
}

// A new, empty archive database (dropped first when a run left it behind).
std::string NewArchive(const std::string& name) {
    auto admin = Admin();
    admin.Execute("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
    Require(admin.Execute("CREATE DATABASE " + name), admin, "create");
    auto db = Database::Connect(PostgresUriWithDatabase(*Server(), name));
    const auto made = InitArchive(db);
    if (!made.ok) throw std::runtime_error(made.message);
    return name;
}

// The contracts and plans of bench::LargeArchive (data_archive_generator.h), made by the
// server itself: contract k starts on day 1 + k % 28 of month k % 132 from January 2015.
std::string GeneratorSql() {
    const auto n = std::to_string(kInstalments);
    return "INSERT INTO \"tabContratti\" (\"ID\", \"ID Tipologia\", \"DescBene\", \"Valore\", "
           "\"Maxicanone\", \"Riscatto\", \"Periodicita\", \"NumRate\", \"DataContratto\", "
           "\"DataInizio\", \"Tasso\", \"ID TassoRif\", \"Spread\", \"Anticipato\", \"Semplice\", "
           "\"SpeseContratto\", \"SpeseAddebito\", \"IntRiscatto\") "
           "SELECT id, 1 + id % 3, 'Contratto generato ' || id, 100000, 10000, 1000, 12, " + n +
           ", s, s, 2.0 + (id % 50) / 10.0, 1 + id % 5, 0.5, 0, 0, 150, 2.5, 0 FROM (SELECT id, "
           "make_date(2015 + (id % 132) / 12, (id % 132) % 12 + 1, 1 + id % 28) AS s FROM "
           "generate_series(1, " + std::to_string(kContracts) + ") AS id) AS g; "
           "INSERT INTO \"tabPDA\" (\"ID Leasing\", \"Tipo\", \"Data\", \"Tasso\", \"Importo\", "
           "\"QInteressi\", \"QCapitale\", \"DebitoRes\") "
           "SELECT c.\"ID\", CASE WHEN k = 0 THEN 'Maxi.' WHEN k <= " + n + " THEN 'Rata' ELSE "
           "'Riscatto' END, (c.\"DataInizio\" + make_interval(months => LEAST(k, " + n + ")))::date, "
           "CASE WHEN k BETWEEN 1 AND " + n + " THEN c.\"Tasso\" ELSE 0 END, "
           "CASE WHEN k = 0 THEN 10000 WHEN k <= " + n + " THEN 90000.0 / " + n +
           " + (90000 - (k - 1) * 90000.0 / " + n + ") * c.\"Tasso\" / 1200 ELSE 1000 END, "
           "CASE WHEN k BETWEEN 1 AND " + n + " THEN (90000 - (k - 1) * 90000.0 / " + n +
           ") * c.\"Tasso\" / 1200 ELSE 0 END, "
           "CASE WHEN k = 0 THEN 10000 WHEN k <= " + n + " THEN 90000.0 / " + n + " ELSE 1000 END, "
           "CASE WHEN k <= " + n + " THEN 90000 - k * 90000.0 / " + n + " ELSE 0 END "
           "FROM \"tabContratti\" AS c CROSS JOIN generate_series(0, " + n + " + 1) AS k "
           "ORDER BY c.\"ID\", k; ANALYZE;";
}

// The large archive, generated once per schema (tables and lookup values) and kept on the
// server with the current views.
std::string LargeArchive() {
    std::string tables(NewArchiveSql(EngineKind::Postgresql));
    tables.erase(tables.find(ArchiveViewsSql(EngineKind::Postgresql)),
                 ArchiveViewsSql(EngineKind::Postgresql).size());
    const std::string name =
        "qp_bench_large_" + std::to_string(std::hash<std::string>{}(tables) % 1000000007);
    bool exists = false;
    {
        auto admin = Admin();
        Recordset found(admin, "SELECT COUNT(*) FROM pg_database WHERE datname = '" + name + "'");
        exists = found.Value(0).ToLong() > 0;
    }
    if (exists) {
        auto db = Database::Connect(PostgresUriWithDatabase(*Server(), name));
        Require(db.ExecuteScript(ArchiveViewsSql(EngineKind::Postgresql)), db, "views");
        return name;
    }
    const std::string partial = NewArchive(name + "_partial");
    {
        auto db = Database::Connect(PostgresUriWithDatabase(*Server(), partial));
        Require(db.ExecuteScript(GeneratorSql()), db, "generate");
        Require(db.AdvanceIdentity("tabContratti"), db, "identity");
    }
    auto admin = Admin();
    Require(admin.Execute("ALTER DATABASE " + partial + " RENAME TO " + name), admin, "rename");
    return name;
}

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
