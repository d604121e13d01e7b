#include <windows.h>

#include "host/executable_path.h"
#include "host/library_path.h"
#include "host/host_directory.h"

namespace host {

std::string LibraryPath() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&LibraryPath), &self)) {
    return "";
  }
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  return std::string(path, length);
}

std::string LibraryDirectory() { return DirectoryOf(LibraryPath(), '\\', IsLeadByte); }

}  // namespace host
