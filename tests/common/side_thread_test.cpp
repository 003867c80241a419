// The side thread a portfolio run reads ahead with: the work handed to it is done in turn,
// its results and failures reach the caller, and what was handed over is finished at the end.
#include "common/side_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace quotaplan {
namespace {

TEST(SideThread, DoesTheWorkInTurnAndHandsBackResultsAndFailures) {
    std::vector<int> done;
    std::vector<std::future<int>> results;
    {
        SideThread side;
        for (int k = 0; k < 5; ++k) {
            results.push_back(side.Run([k, &done] {
                std::this_thread::sleep_for(std::chrono::milliseconds(5 - k));
                done.push_back(k);
                if (k == 3) throw std::runtime_error("tre");
                return k * k;
            }));
        }
        EXPECT_EQ(results[1].get(), 1);
    }  // the rest is finished before the thread goes
    EXPECT_EQ(done, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(results[4].get(), 16);
    EXPECT_THROW(results[3].get(), std::runtime_error);
}

}  // namespace
}  // namespace quotaplan
