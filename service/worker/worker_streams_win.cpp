#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "service/worker/worker_streams.h"

namespace service::worker {

namespace {

HANDLE g_input = INVALID_HANDLE_VALUE;
HANDLE g_output = INVALID_HANDLE_VALUE;

// The C runtime's descriptor 1 (printf, std::cout, in this program and in
// the DLLs that share its runtime) onto standard error, or the null device.
bool MoveStandardOutputAside() {
  std::fflush(stdout);
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error != nullptr && error != INVALID_HANDLE_VALUE &&
      _dup2(_fileno(stderr), _fileno(stdout)) == 0) {
    SetStdHandle(STD_OUTPUT_HANDLE, error);
    return true;
  }
  const int null = _open("NUL", _O_WRONLY | _O_BINARY);
  if (null < 0) return false;
  const bool moved = _dup2(null, _fileno(stdout)) == 0;
  _close(null);
  if (moved)
    SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout))));
  return moved;
}

}  // namespace

bool TakeStandardStreams() {
  g_input = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (g_input == nullptr || g_input == INVALID_HANDLE_VALUE || output == nullptr ||
      output == INVALID_HANDLE_VALUE) {
    return false;
  }
  // Our own handle on the pipe: moving descriptor 1 aside closes the one
  // that the runtime holds.
  if (!DuplicateHandle(GetCurrentProcess(), output, GetCurrentProcess(), &g_output, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return false;
  }
  return MoveStandardOutputAside();
}

std::size_t ReadInput(char* buffer, std::size_t count) {
  DWORD got = 0;
  if (!ReadFile(g_input, buffer, static_cast<DWORD>(count), &got, nullptr)) return 0;
  return got;
}

bool WriteOutput(const std::string& bytes) {
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

}  // namespace service::worker
