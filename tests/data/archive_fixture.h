#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/recording_message_boxes.h"
#include "data/contract_form.h"
#include "data/contract_store.h"
#include "data/database.h"
#include "engine/financial_plan.h"

namespace quotaplan::testing {

// The engines a test suite runs on: INSTANTIATE_TEST_SUITE_P(Engines, Suite, kEngines,
// EngineName).
using Engine = EngineKind;
inline const auto kEngines = ::testing::Values(Engine::Sqlite, Engine::Postgresql);
std::string EngineName(const ::testing::TestParamInfo<Engine>& info);

// The PostgreSQL server of the tests: QUOTAPLAN_TEST_PG, a URI naming the server's
// administration database ("postgresql:///postgres?host=/tmp/qp-pg-x&user=quotaplan"), or
// nullopt when it is not set. .ci/run starts a server and sets it; without it the PostgreSQL
// cases skip, unless QUOTAPLAN_TEST_PG_REQUIRED is set (as in CI), and then they fail.
std::optional<std::string> TestServer();
bool TestServerRequired();

// A fresh archive of its own for one test, made from db/ for the engine: a copy of the
// pristine SQLite file in a temporary folder, or a new database on the test server made from
// a template holding the PostgreSQL schema. Removed with everything in it when it goes.
class TempArchive {
public:
    // Empty: no archive yet, for making one (no file; a database without tables).
    enum class Contents { Pristine, Empty };
    explicit TempArchive(Engine engine = Engine::Sqlite, Contents contents = Contents::Pristine);
    ~TempArchive();
    TempArchive(const TempArchive&) = delete;
    TempArchive& operator=(const TempArchive&) = delete;

    Engine GetEngine() const { return engine_; }
    // Why the archive could not be made (no test server), or nullopt.
    const std::optional<std::string>& Unavailable() const { return unavailable_; }

    // A temporary folder of the test's own, for both engines.
    const std::filesystem::path& Folder() const { return folder_; }
    // The SQLite archive's file.
    std::filesystem::path File() const { return folder_ / "Quotaplan.mdb"; }
    // What --db and ADO_connConnectDB take: the file, or the database's URI.
    std::string Address() const;
    // PostgreSQL: the name of the archive's database on the test server.
    const std::string& ServerDatabase() const { return database_; }
    // A new connection; a closed one when the archive is unavailable.
    Database Open() const;

private:
    Engine engine_;
    std::filesystem::path folder_;
    std::string database_;  // PostgreSQL: the database's name
    std::optional<std::string> unavailable_;
};

// In a fixture's SetUp, or first in a test: skips (or, when required, fails) a case whose
// archive could not be made.
#define QP_REQUIRE_ARCHIVE(archive)                                         \
    do {                                                                    \
        if (const auto& why = (archive).Unavailable()) {                    \
            if (::quotaplan::testing::TestServerRequired()) FAIL() << *why; \
            GTEST_SKIP() << *why;                                           \
        }                                                                   \
    } while (false)

// The engine's SQL that turns an archive's views into those of an earlier version: the
// month's instalments without the contract's ID, and `stamp` as the recorded version (none
// when 0).
std::string OlderViewsSql(Engine engine, int stamp);

// The engine's SQL that turns a fresh archive's schema back into the previous version's: no
// names' key (the older index of the descriptions instead, unique on the server), no
// Centesimo, no usury table, no usury category, no penalty regime, no tables of events,
// nothing of the expert review.
std::string OlderSchemaSql(Engine engine);

// A URI of the test server naming another database.
std::string ServerUri(const std::string& database);

// The value of a key of the test server's URI ("host": its socket folder, "user"); "" when
// it has none.
std::string ServerSetting(const std::string& key);

// A plan of n monthly instalments from 15/02/2024 (the contract dated 15/01/2024) on an
// asset of 10.000 with the given maxi-instalment and buy-out; rows carry distinct,
// easily checked amounts.
FinancialPlan MakePlan(int n, float maxi, float buyout);

// A form that matches MakePlan(12, 1000, 500): "Leasing", "Euribor 3 mesi", monthly, in
// advance, compound, no buy-out date.
ContractForm MakeForm(const std::string& description);

// Saves a new contract `description` with MakeForm's terms over `count` instalments and
// MakePlan's plan: the store's outcome.
SaveResult SaveNewContract(ContractStore& store, const std::string& description, int count = 12,
                           float maxi = 1000, float buyout = 500);

// Every row of the table as text, one line a row, in ID order: to compare an archive
// before and after.
std::string DumpTable(Database& db, const std::string& table);

// The number of rows the query counts (its first column).
long long CountOf(Database& db, const std::string& sql);

// Opens the archive at `address`, which the caller has made read-only, and checks that it is
// read (the three seed contracts' tree) while a save is refused with the read-only message
// and adds no contract.
void ExpectReadOnlyArchiveRefusesASave(const std::string& address);

// What one of several desks run at once said: its exit status (-1 when it did not exit) and
// the bytes it reported.
struct DeskOutcome {
    int status = -1;
    std::string report;
};

// Runs `work` in `desks` child processes that all start at the same moment, as desks of an
// office acting at once; each returns its exit status and a report. In desk order.
std::vector<DeskOutcome> RunDesksTogether(
    int desks, const std::function<std::pair<int, std::string>(int desk)>& work);

// Makes every insert into tabPDA (Delete: every delete from it) fail with "guasto
// simulato" once the contract already has `after` plan rows, in the engine's own trigger
// language. The error line the failure shows, for the engine.
void InstallFailingPlanTrigger(Database& db, int after);
void InstallFailingPlanDeleteTrigger(Database& db);
void RemoveFailingPlanTriggers(Database& db);
std::string FailingTriggerLine(Engine engine);

}  // namespace quotaplan::testing

namespace quotaplan {
// Test names and messages say which engine.
inline void PrintTo(EngineKind engine, std::ostream* out) {
    *out << (engine == EngineKind::Sqlite ? "SQLite" : "PostgreSQL");
}
}  // namespace quotaplan
