#pragma once
// Platform seam of the tests: a handle that a worker must not inherit, and
// the worker's look for it; a helper process that a worker leaves behind.
#include <string>

namespace testing_support {

// Opens an inheritable handle (a descriptor without close-on-exec natively,
// a semaphore of count 7 on Windows); returns its value as text.
std::string OpenStrayHandle();
void CloseStrayHandle(const std::string& value);

// In the worker: whether the handle of that value came with it.
bool HoldsStrayHandle(const std::string& value);

// In the worker: starts this program again with READCARD_TEST_WORKER set
// to how, as a driver's helper process; returns its process id as text.
std::string StartHelper(const char* how);
// Sleeps for ten minutes: far longer than any test waits.
void SleepLong();

// In the test: whether the process of that id still runs.
bool ProcessRuns(const std::string& id);
// Ends it (a test that failed leaves nothing running).
void EndProcess(const std::string& id);

}  // namespace testing_support
