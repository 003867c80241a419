// Whole quotaplan-calc processes: starting, calculating a 360-instalment plan and printing
// it, beside /bin/true started the same way in the same run (what starting any process
// costs on this machine).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace {

void RunProcess(benchmark::State& state, std::vector<const char*> argv) {
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        if (posix_spawn(&child, argv[0], &actions, nullptr, const_cast<char**>(argv.data()),
                        environ) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}

void BM_TrueProcess(benchmark::State& state) { RunProcess(state, {"/bin/true"}); }
BENCHMARK(BM_TrueProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

// The start-up target: this command's median within 3 ms of /bin/true's.
void BM_CalcProcess200000At4Over360(benchmark::State& state) {
    RunProcess(state, {QUOTAPLAN_CALC_PATH, "--value", "200000", "--rate", "4", "--count", "360"});
}
BENCHMARK(BM_CalcProcess200000At4Over360)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CalcProcess360Rows(benchmark::State& state) {
    RunProcess(state, {QUOTAPLAN_CALC_PATH, "--value", "250000", "--maxi", "10000", "--buyout",
                       "5000", "--rate", "3.5", "--spread", "1.2", "--count", "360",
                       "--contract-date", "2026-01-15", "--first-date", "2026-02-15"});
}
BENCHMARK(BM_CalcProcess360Rows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
