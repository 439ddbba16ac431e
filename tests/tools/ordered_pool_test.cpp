#include "tools/ordered_pool.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

TEST(OrderedPool, DeliversInSubmissionOrderAndStopsWhenTold) {
  for (int threads : {1, 4}) {
    std::vector<int> delivered;
    std::atomic<int> ran{0};
    {
      tools::OrderedPool<int> pool(threads, [&](int& value) {
        delivered.push_back(value);
        return value != 30;  // stands for a failed file: the run ends there
      });
      for (int i = 0; i < 200; ++i) {
        // Later jobs finish first.
        bool taken = pool.Submit([&, i] {
          ++ran;
          std::this_thread::sleep_for(std::chrono::microseconds((200 - i) % 7 * 50));
          return i;
        });
        if (!taken) break;
      }
      pool.Finish();
    }
    std::vector<int> expected(31);
    for (int i = 0; i <= 30; ++i) expected[i] = i;
    EXPECT_EQ(delivered, expected) << threads << " threads";
    EXPECT_LT(ran.load(), 200) << "jobs after the stop are dropped";
  }
}

}  // namespace
