#pragma once
// Platform seam of the tests: a handle that a worker must not inherit, and
// the worker's look for it.
#include <string>

namespace testing_support {

// Opens an inheritable handle (a descriptor without close-on-exec natively,
// a semaphore of count 7 on Windows); returns its value as text.
std::string OpenStrayHandle();
void CloseStrayHandle(const std::string& value);

// In the worker: whether the handle of that value came with it.
bool HoldsStrayHandle(const std::string& value);

}  // namespace testing_support
