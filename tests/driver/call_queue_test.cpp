// Threads get their turn in the order they asked for it.
#include "driver/call_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "tests/support/threads.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace {

void SleepMs(int milliseconds) {
#ifdef _WIN32
  Sleep(milliseconds);
#else
  timespec pause = {0, milliseconds * 1000000L};
  nanosleep(&pause, nullptr);
#endif
}

TEST(CallQueue, ThreadsTakeTurnsInTheOrderTheyCame) {
  for (int round = 0; round < 3; ++round) {
    driver::CallQueue queue;
    constexpr int kWaiters = 5;
    std::vector<int> served;
    std::atomic<int> arrived{0};
    queue.Enter();  // the first turn is this thread's, while the others line up
    testing_support::RunOnThreads(kWaiters + 1, [&](int index) {
      if (index == kWaiters) {
        // The turn is let go once all have lined up.
        while (arrived.load() < kWaiters) SleepMs(5);
        SleepMs(100);
        queue.Leave();
        return;
      }
      // Waiter i comes after waiter i - 1 has had 50 ms to line up.
      while (arrived.load() < index) SleepMs(1);
      if (index > 0) SleepMs(50);
      ++arrived;
      driver::CallTurn turn(queue);
      served.push_back(index);  // under the turn: one thread at a time
      SleepMs(2);
    });
    EXPECT_EQ(served, (std::vector<int>{0, 1, 2, 3, 4})) << "round " << round;
  }
}

}  // namespace
