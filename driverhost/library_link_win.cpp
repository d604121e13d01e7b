#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driverhost/library_link.h"

namespace driverhost {

namespace {

// The exit code when the host process ended first.
constexpr UINT kHostEnded = 0xDEAE;

HANDLE g_input = INVALID_HANDLE_VALUE;
HANDLE g_output = INVALID_HANDLE_VALUE;

// A crash anywhere in the process: ended with the exception's code, which
// the library reads as the exit code, before the system shows a dialog or
// starts a debugger.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception) {
  TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI WatchHost(void* host) {
  WaitForSingleObject(static_cast<HANDLE>(host), INFINITE);
  // Not ExitProcess: a driver stuck in its call may hold the loader's lock.
  TerminateProcess(GetCurrentProcess(), kHostEnded);
  return 0;
}

// Descriptor 1 (printf in this program and in a driver that shares its C
// runtime) and the standard output handle (a driver with a runtime of its
// own) onto standard error.
bool MoveStandardOutputAside() {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  const int target = _open_osfhandle(reinterpret_cast<intptr_t>(error), _O_WRONLY | _O_BINARY);
  if (target < 0) return false;
  const bool moved = _dup2(target, _fileno(stdout)) == 0;
  if (moved) SetStdHandle(STD_OUTPUT_HANDLE, error);
  SetStdHandle(STD_INPUT_HANDLE, nullptr);
  return moved;
}

}  // namespace

bool ConnectToLibrary(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(EndOnCrash);
  if (argc != 3 || std::strcmp(argv[1], "--host") != 0) return false;
  HANDLE host =
      reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::strtoull(argv[2], nullptr, 10)));
  if (WaitForSingleObject(host, 0) != WAIT_TIMEOUT) return false;
  HANDLE watch = CreateThread(nullptr, 64 * 1024, WatchHost, host, 0, nullptr);
  if (watch == nullptr) return false;
  CloseHandle(watch);
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE || output == nullptr ||
      output == INVALID_HANDLE_VALUE) {
    return false;
  }
  // Copies of our own: the runtime's descriptors 0 and 1 are given up.
  if (!DuplicateHandle(GetCurrentProcess(), input, GetCurrentProcess(), &g_input, 0, FALSE,
                       DUPLICATE_SAME_ACCESS) ||
      !DuplicateHandle(GetCurrentProcess(), output, GetCurrentProcess(), &g_output, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return false;
  }
  if (!MoveStandardOutputAside()) return false;
  _close(_fileno(stdin));
  return true;
}

bool ReadFromLibrary(std::string& bytes, std::size_t limit) {
  char buffer[8192];
  DWORD part = 0;
  const DWORD wanted = static_cast<DWORD>(limit < sizeof buffer ? limit : sizeof buffer);
  if (!ReadFile(g_input, buffer, wanted, &part, nullptr) || part == 0) return false;
  bytes.append(buffer, part);
  return true;
}

bool WriteToLibrary(const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    DWORD put = 0;
    if (!WriteFile(g_output, bytes.data() + written, static_cast<DWORD>(bytes.size() - written),
                   &put, nullptr) ||
        put == 0) {
      return false;
    }
    written += put;
  }
  return true;
}

}  // namespace driverhost
