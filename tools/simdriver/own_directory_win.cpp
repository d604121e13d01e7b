#include <windows.h>

#include "tools/simdriver/own_directory.h"

namespace simdriver {

void OwnDirectory(char* buffer, std::size_t size) {
  buffer[0] = '\0';
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&OwnDirectory), &self)) {
    return;
  }
  char path[MAX_PATH] = {};
  GetModuleFileNameA(self, path, MAX_PATH);
  path[MAX_PATH - 1] = '\0';
  std::size_t end = 0;  // one past the last backslash
  for (std::size_t i = 0; path[i] != '\0'; ++i) {
    if (path[i] == '\\') {
      end = i + 1;
    } else if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && path[i + 1] != '\0') {
      ++i;  // a GBK trail byte may have the backslash's code
    }
  }
  if (end >= size) return;
  CopyMemory(buffer, path, end);
  buffer[end] = '\0';
}

}  // namespace simdriver
