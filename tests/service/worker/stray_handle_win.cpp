#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/service/worker/stray_handle.h"
#include "tests/support/child_process.h"

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

std::string StartHelper(const char* how) {
  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  ChildProcess::Options options;
  options.environment = {{"READCARD_TEST_WORKER", std::string(how)}};
  options.noConsole = true;  // the worker has none to share
  ChildProcess helper(self, {}, options);
  helper.Release();  // the driver leaves it behind
  return std::to_string(helper.id());
}

void SleepLong() { Sleep(600000); }

bool ProcessRuns(const std::string& id) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, std::strtoul(id.c_str(), nullptr, 10));
  if (process == nullptr) return false;
  const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return runs;
}

void EndProcess(const std::string& id) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, std::strtoul(id.c_str(), nullptr, 10));
  if (process == nullptr) return;
  TerminateProcess(process, 1);
  CloseHandle(process);
}

}  // namespace testing_support
