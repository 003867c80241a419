// A whole loan book priced at once: quotaplan-calc --batch on 10,000 contracts of 360
// monthly instalments (plan, TAEG and usury verdict) against the same contracts priced by
// one quotaplan-calc process each (a sample of them, scaled up).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data_archive_generator.h"

namespace {

namespace fs = std::filesystem;

constexpr int kContracts = 10000;

// Contract k: 50.000-400.000 at 2-7 %, 360 monthly instalments, fees, category "Mutui".
struct Contract {
    std::string value, rate, date;
};
Contract ContractNumber(int k) {
    return {std::to_string(50000 + (k * 7919) % 350000),
            std::to_string(2 + k % 5) + "." + std::to_string((k * 37) % 100),
            "2026-" + std::string(k % 12 < 9 ? "0" : "") + std::to_string(k % 12 + 1) + "-15"};
}

fs::path Folder() {
    const auto folder = fs::temp_directory_path() / "quotaplan-batch-bench";
    fs::create_directories(folder);
    return folder;
}

// The batch file, to the cent or classic.
fs::path BatchFile(const std::string& plan) {
    const auto file = Folder() / ("portafoglio-" + plan + ".csv");
    std::ofstream out(file);
    out << "description;value;rate;count;contract-date;plan;contract-fees;instalment-fee;"
           "usury-category\n";
    for (int k = 1; k <= kContracts; ++k) {
        const Contract c = ContractNumber(k);
        out << "Contratto " << k << ";" << c.value << ";" << c.rate << ";360;" << c.date << ";"
            << plan << ";500;2.5;Mutui\n";
    }
    return file;
}

// An archive whose usury table holds the category's quarters of 2026.
fs::path ThresholdArchive() {
    const auto file = Folder() / "soglie.mdb";
    if (fs::exists(file)) return file;
    quotaplan::bench::CreateEmptyArchive(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    quotaplan::bench::Exec(
        db,
        "INSERT INTO tabSoglieUsura (Categoria, Dal, Al, TEGM) VALUES "
        "('Mutui', '2026-01-01', '2026-03-31', 4.12), ('Mutui', '2026-04-01', '2026-06-30', 4.05), "
        "('Mutui', '2026-07-01', '2026-09-30', 3.98), ('Mutui', '2026-10-01', NULL, 3.90)");
    sqlite3_close(db);
    return file;
}

// Runs the calculator with `args`, its output thrown away; false when it did not exit with
// `status`.
bool RunCalc(std::vector<std::string> args, int status) {
    std::vector<char*> argv;
    std::string program = QUOTAPLAN_CALC_PATH;
    argv.push_back(program.data());
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const bool started = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started) return false;
    int exit = 0;
    waitpid(child, &exit, 0);
    return WIFEXITED(exit) && WEXITSTATUS(exit) == status;
}

void BM_Batch10000Contracts(benchmark::State& state, const std::string& plan) {
    const auto file = BatchFile(plan);
    const auto archive = ThresholdArchive();
    for (auto _ : state) {
        if (!RunCalc({"--batch", file.string(), "--db", archive.string()}, 0)) {
            state.SkipWithError("quotaplan-calc --batch failed");
            break;
        }
    }
}
BENCHMARK_CAPTURE(BM_Batch10000Contracts, Cents, std::string("cents"))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Batch10000Contracts, Classic, std::string("classic"))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same contracts to the cent, one process each, as before --batch: a sample of every
// 20th contract (500 processes) timed, its time multiplied by 20 in "per_10000_ms", as the
// 10,000 processes themselves would take minutes a repetition.
constexpr int kSampleStep = 20;

void BM_OneProcessEach10000Contracts(benchmark::State& state) {
    const auto archive = ThresholdArchive();
    double seconds = 0;
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        for (int k = 1; k <= kContracts; k += kSampleStep) {
            const Contract c = ContractNumber(k);
            if (!RunCalc({"--value", c.value, "--rate", c.rate, "--count", "360", "--contract-date",
                          c.date, "--plan", "cents", "--contract-fees", "500", "--instalment-fee",
                          "2.5", "--usury-category", "Mutui", "--db", archive.string()},
                         0)) {
                state.SkipWithError("quotaplan-calc failed");
                return;
            }
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
    state.counters["per_10000_ms"] =
        benchmark::Counter(seconds * 1000.0 * kSampleStep, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OneProcessEach10000Contracts)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
