#include <windows.h>

#include <cstdlib>
#include <string>

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

std::string StartHelper(const char* how) {
  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  SetEnvironmentVariableA("READCARD_TEST_WORKER", how);
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION process = {};
  std::string commandLine = std::string("\"") + self + "\"";
  const BOOL started = CreateProcessA(self, &commandLine[0], nullptr, nullptr, FALSE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  if (!started) return "0";
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return std::to_string(process.dwProcessId);
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
