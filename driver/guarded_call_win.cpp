#include "driver/guarded_call.h"

#include <windows.h>

#include <string>

#include "driver/guard_thunk_i686.h"
#include "host/executable_path.h"
#include "host/host_directory.h"

namespace driver {

namespace {

// The file name of the module that holds address; "" when none does.
std::string ModuleNameAt(uintptr_t address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(address), &module)) {
    return "";
  }
  char path[MAX_PATH] = {};
  if (GetModuleFileNameA(module, path, MAX_PATH) == 0) return "";
  path[MAX_PATH - 1] = '\0';
  const std::string file(path);
  return file.substr(host::DirectoryOf(file, '\\', host::IsLeadByte).size());
}

}  // namespace

CallOutcome CallGuarded(FunctionAddress function, int32_t mode, char* record) {
  GuardFrame frame = {};
  CallOutcome outcome;
  outcome.result = readcard_call_guarded(&frame, function, mode, record);
  if (frame.faulted != 0) {
    DriverFault fault;
    fault.code = frame.code;
    fault.address = frame.address;
    // Looked up only now, outside the exception's dispatch: the module is
    // still loaded, the library frees the driver later.
    fault.module = ModuleNameAt(frame.address);
    outcome.fault = fault;
  }
  return outcome;
}

}  // namespace driver
