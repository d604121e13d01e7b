#include <windows.h>

#include <cstdlib>

#include "tests/service/worker/stray_handle.h"

namespace testing_support {

namespace {

constexpr LONG kStrayCount = 7;  // what marks the semaphore as the stray one

}  // namespace

std::string OpenStrayHandle() {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE semaphore = CreateSemaphoreA(&inheritable, kStrayCount, 100, nullptr);
  return std::to_string(reinterpret_cast<std::uintptr_t>(semaphore));
}

void CloseStrayHandle(const std::string& value) {
  CloseHandle(reinterpret_cast<HANDLE>(std::strtoul(value.c_str(), nullptr, 10)));
}

bool HoldsStrayHandle(const std::string& value) {
  HANDLE handle = reinterpret_cast<HANDLE>(std::strtoul(value.c_str(), nullptr, 10));
  LONG previous = 0;
  // Only a semaphore of exactly that count answers so.
  return ReleaseSemaphore(handle, 1, &previous) && previous == kStrayCount;
}

}  // namespace testing_support
