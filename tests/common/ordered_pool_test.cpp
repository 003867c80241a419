// The worker pool of the batch: answers in input order whatever the threads' speed, a
// bounded read-ahead, and a stop that reads nothing more.
#include "common/ordered_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

namespace quotaplan {
namespace {

struct PoolRun {
    std::vector<int> emitted;
    int read = 0;
    int mostInFlight = 0;
};

// Items 0..count-1; each takes longer the smaller it is modulo 7, so later items often
// finish first. Emitting stops after `stopAfter` results.
PoolRun RunPool(int jobs, std::size_t window, int count, int stopAfter = -1) {
    PoolRun run;
    std::atomic<int> inFlight = 0;
    int readNotEmitted = 0;
    const std::function<std::optional<int>()> next = [&]() -> std::optional<int> {
        if (run.read == count) return std::nullopt;
        run.mostInFlight = std::max(run.mostInFlight, ++readNotEmitted);
        return run.read++;
    };
    const std::function<int(int&)> work = [&](int& item) {
        ++inFlight;
        std::this_thread::sleep_for(std::chrono::microseconds(50 * (6 - item % 7)));
        --inFlight;
        return item * 10;
    };
    const std::function<bool(int&)> emit = [&](int& result) {
        --readNotEmitted;
        run.emitted.push_back(result);
        return static_cast<int>(run.emitted.size()) != stopAfter;
    };
    const std::size_t emitted = RunInOrder<int, int>(jobs, window, next, work, emit);
    EXPECT_EQ(emitted, run.emitted.size());
    return run;
}

TEST(OrderedPool, AnswersInInputOrder) {
    for (const int jobs : {1, 2, 4, 8}) {
        const PoolRun run = RunPool(jobs, 16, 200);
        ASSERT_EQ(run.emitted.size(), 200u) << jobs;
        for (int k = 0; k < 200; ++k) ASSERT_EQ(run.emitted[k], 10 * k) << jobs;
    }
}

TEST(OrderedPool, ReadsAtMostTheWindowAhead) {
    const PoolRun run = RunPool(4, 8, 300);
    EXPECT_EQ(run.emitted.size(), 300u);
    EXPECT_LE(run.mostInFlight, 8);
}

TEST(OrderedPool, AStopReadsNothingMore) {
    const PoolRun run = RunPool(4, 8, 300, 5);
    EXPECT_EQ(run.emitted, (std::vector<int>{0, 10, 20, 30, 40}));
    EXPECT_LE(run.read, 5 + 8);
}

TEST(OrderedPool, NothingToDo) {
    const PoolRun run = RunPool(3, 4, 0);
    EXPECT_TRUE(run.emitted.empty());
}

}  // namespace
}  // namespace quotaplan
