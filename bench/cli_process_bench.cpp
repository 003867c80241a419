// Whole quotaplan-calc processes, started as a user or another program starts them: a plan of
// 360 instalments printed; the same plan saved into the archive of 10,000 contracts x 360
// instalments (what the save costs is its median above the plan's); and the portfolio summary
// of that archive. On the SQLite file and, when QUOTAPLAN_BENCH_PG names a server (see
// postgres_archive_generator.h), on PostgreSQL. Beside the wall time each reports cpu_ms, the
// processor time of the program per run, which on a shared machine says more, and, for a
// server on this machine whose postmaster's process ID QUOTAPLAN_BENCH_PG_SERVER_PID gives,
// server_cpu_ms, the time of the server's processes that served it.
//
// Same-session comparison with an earlier build: QUOTAPLAN_BENCH_BASELINE_CALC names its
// quotaplan-calc and QUOTAPLAN_BENCH_BASELINE_DB the db/ folder of its sources; every benchmark
// then runs a second time as ".../baseline" with that program, on copies of the same archives
// that carry its views. Use --benchmark_enable_random_interleaving=true so that both meet the
// same noise.
//
// BM_TrueProcess starts /bin/true the same way, in the same run: what starting any process
// costs on this machine, the yardstick of the calculator's start
// (BM_CalcProcess200000At4Over360).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "data_archive_generator.h"
#include "postgres_archive_generator.h"

namespace quotaplan::bench {
namespace {

namespace fs = std::filesystem;

// One build of the program: its quotaplan-calc and the db/ folder of its sources.
struct Build {
    std::string suffix;  // "" or "/baseline"
    fs::path calc;
    fs::path db;
};

std::vector<Build> Builds() {
    std::vector<Build> builds = {{"", QUOTAPLAN_CALC_PATH, SqlFolder().parent_path()}};
    const char* calc = std::getenv("QUOTAPLAN_BENCH_BASELINE_CALC");
    const char* db = std::getenv("QUOTAPLAN_BENCH_BASELINE_DB");
    if (calc != nullptr && db != nullptr) builds.push_back({"/baseline", calc, db});
    return builds;
}

const std::vector<std::string> kPlan = {"--value",         "250000",     "--maxi",   "10000",
                                        "--buyout",        "5000",       "--rate",   "3.5",
                                        "--spread",        "1.2",        "--count",  "360",
                                        "--contract-date", "2026-01-15", "--first-date",
                                        "2026-02-15"};

// Runs the program once with its output thrown away; false when it could not start or failed.
// Adds the processor time it took to `cpuSeconds`.
bool RunOnce(const fs::path& program, const std::vector<std::string>& args, double& cpuSeconds) {
    std::vector<std::string> all = {program.string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const bool started =
        posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started) return false;
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    cpuSeconds += usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                  usage.ru_stime.tv_usec / 1e6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The processor time, in seconds, of the children the process has waited for: for the
// PostgreSQL server's postmaster (QUOTAPLAN_BENCH_PG_SERVER_PID), its ended backends. Reads
// /proc, so a server on this machine only; nullopt otherwise.
std::optional<double> ReapedChildrenSeconds() {
    const char* pid = std::getenv("QUOTAPLAN_BENCH_PG_SERVER_PID");
    if (pid == nullptr) return std::nullopt;
    const std::string stat = ReadText(fs::path("/proc") / pid / "stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::vector<std::string> field{std::istream_iterator<std::string>(fields), {}};
    if (field.size() < 15) return std::nullopt;
    // cutime and cstime, the 16th and 17th fields of the line (13th and 14th after the name).
    return (std::stod(field[13]) + std::stod(field[14])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Runs the program once per iteration; `args` gives the arguments of each. `server`: the
// program talks to the PostgreSQL server, whose time for it is counted too when it can be.
void RunProcesses(benchmark::State& state, const fs::path& program,
                  const std::function<std::vector<std::string>()>& args, bool server = false) {
    double cpuSeconds = 0;
    const auto serverBefore = server ? ReapedChildrenSeconds() : std::nullopt;
    for (auto _ : state) {
        if (!RunOnce(program, args(), cpuSeconds)) {
            state.SkipWithError(("failed: " + program.string()).c_str());
            return;
        }
    }
    state.counters["cpu_ms"] =
        benchmark::Counter(cpuSeconds * 1000, benchmark::Counter::kAvgIterations);
    if (serverBefore) {
        // The last backend ends just after its program: give the server time to reap it.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        state.counters["server_cpu_ms"] =
            benchmark::Counter((*ReapedChildrenSeconds() - *serverBefore) * 1000,
                               benchmark::Counter::kAvgIterations);
    }
}

// The SQLite archive of 10,000 contracts with the build's views: the generated one, or a copy
// of it with the earlier build's views. `purpose` names a copy of its own ("save").
fs::path SqliteArchive(const Build& build, const std::string& purpose) {
    const fs::path large = LargeArchive(kContracts, kInstalments);
    if (build.suffix.empty() && purpose.empty()) return large;
    const fs::path copy = fs::temp_directory_path() /
                          (std::string("quotaplan-bench-process") +
                           (build.suffix.empty() ? "" : "-baseline") +
                           (purpose.empty() ? "" : "-" + purpose) + ".mdb");
    fs::copy_file(large, copy, fs::copy_options::overwrite_existing);
    sqlite3* handle = nullptr;
    if (sqlite3_open(copy.c_str(), &handle) != SQLITE_OK) throw std::runtime_error("open");
    Exec(handle, ReadText(build.db / "sqlite" / "views.sql"));
    sqlite3_close(handle);
    return copy;
}

// The same on the server: the generated database, or a copy of it.
std::string ServerArchive(const Build& build, const std::string& purpose) {
    const std::string large = LargeArchive();
    if (build.suffix.empty() && purpose.empty()) return PostgresUriWithDatabase(*Server(), large);
    const std::string name = "qp_bench_process" + std::string(build.suffix.empty() ? "" : "_baseline") +
                             (purpose.empty() ? "" : "_" + purpose);
    auto admin = Admin();
    admin.Execute("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
    Require(admin.Execute("CREATE DATABASE " + name + " TEMPLATE " + large), admin, "copy");
    const std::string uri = PostgresUriWithDatabase(*Server(), name);
    auto db = Database::Connect(uri);
    Require(db.ExecuteScript(ReadText(build.db / "postgresql" / "views.sql")), db, "views");
    return uri;
}

void Register(const std::string& name, const std::function<void(benchmark::State&)>& run) {
    benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMillisecond);
}

const bool kRegistered = [] {
    Register("BM_TrueProcess", [](benchmark::State& state) {
        RunProcesses(state, "/bin/true", [] { return std::vector<std::string>{}; });
    });
    for (const Build& build : Builds()) {
        Register("BM_CalcProcess200000At4Over360" + build.suffix, [build](benchmark::State& state) {
            RunProcesses(state, build.calc, [] {
                return std::vector<std::string>{"--value", "200000", "--rate", "4", "--count", "360"};
            });
        });
        Register("BM_CalcProcess360Rows" + build.suffix, [build](benchmark::State& state) {
            RunProcesses(state, build.calc, [] { return kPlan; });
        });
        for (const bool server : {false, true}) {
            const std::string engine = server ? "PostgreSQL" : "SQLite";
            // The archive is made at the first run, so that a filter leaves the others alone.
            const auto archive = [build, server](const std::string& purpose) -> std::string {
                return server ? ServerArchive(build, purpose) : SqliteArchive(build, purpose).string();
            };
            Register("BM_SummaryProcess/" + engine + build.suffix,
                     [build, server, archive,
                      address = std::make_shared<std::optional<std::string>>()](
                         benchmark::State& state) {
                         if (server && !Server()) {
                             state.SkipWithError("QUOTAPLAN_BENCH_PG non impostata");
                             return;
                         }
                         if (!*address) *address = archive("");
                         RunProcesses(
                             state, build.calc,
                             [&] {
                                 return std::vector<std::string>{"--db", **address, "--summary",
                                                                 "--today", "2025-06-15"};
                             },
                             server);
                     });
            Register("BM_SaveProcess360Rows/" + engine + build.suffix,
                     [build, server, archive,
                      address = std::make_shared<std::optional<std::string>>(),
                      saved = std::make_shared<int>(0)](benchmark::State& state) {
                         if (server && !Server()) {
                             state.SkipWithError("QUOTAPLAN_BENCH_PG non impostata");
                             return;
                         }
                         if (!*address) *address = archive("save");
                         RunProcesses(state, build.calc, [&] {
                             std::vector<std::string> args = {
                                 "--db", **address, "--save",
                                 "Processo " + std::to_string(++*saved)};
                             args.insert(args.end(), kPlan.begin(), kPlan.end());
                             return args;
                         }, server);
                     });
        }
    }
    return true;
}();

}  // namespace
}  // namespace quotaplan::bench

BENCHMARK_MAIN();
