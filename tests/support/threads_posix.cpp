#include <thread>
#include <vector>

#include "tests/support/threads.h"

namespace testing_support {

void RunOnThreads(int count, const std::function<void(int)>& body) {
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) threads.emplace_back(body, i);
  for (std::thread& thread : threads) thread.join();
}

}  // namespace testing_support
