// One whole quotaplan-calc process: start, calculate a 360-instalment plan, print it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace {

void BM_CalcProcess360Rows(benchmark::State& state) {
    const char* argv[] = {QUOTAPLAN_CALC_PATH, "--value", "250000", "--maxi", "10000",
                          "--buyout", "5000", "--rate", "3.5", "--spread", "1.2",
                          "--count", "360", "--contract-date", "2026-01-15",
                          "--first-date", "2026-02-15", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        if (posix_spawn(&child, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0) {
            state.SkipWithError("cannot start quotaplan-calc");
            break;
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("quotaplan-calc failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}
BENCHMARK(BM_CalcProcess360Rows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
