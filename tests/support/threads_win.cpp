#include <windows.h>

#include <cstdlib>
#include <vector>

#include "tests/support/threads.h"

namespace testing_support {
namespace {

struct ThreadWork {
  const std::function<void(int)>* body;
  int index;
};

DWORD WINAPI RunThread(void* parameter) {
  const ThreadWork* work = static_cast<const ThreadWork*>(parameter);
  (*work->body)(work->index);
  return 0;
}

}  // namespace

void RunOnThreads(int count, const std::function<void(int)>& body) {
  std::vector<ThreadWork> work(count);
  std::vector<HANDLE> threads;
  for (int i = 0; i < count; ++i) {
    work[i] = {&body, i};
    HANDLE thread = CreateThread(nullptr, 0, RunThread, &work[i], 0, nullptr);
    if (thread == nullptr) std::abort();  // the test could not run as written
    threads.push_back(thread);
  }
  for (HANDLE thread : threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
}

}  // namespace testing_support
