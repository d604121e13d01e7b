#pragma once
// Runs work on several threads at once, for tests of what threads share.
// The win32 build has no std::thread (its C++ runtime uses the system's
// threads directly), so the threads are the platform's own.
#include <functional>

namespace testing_support {

// Starts count threads, thread i calling body(i), and waits for all of them.
void RunOnThreads(int count, const std::function<void(int)>& body);

}  // namespace testing_support
