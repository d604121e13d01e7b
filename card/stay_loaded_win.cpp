#include <windows.h>

// The C++ runtime inside readcard.dll (winpthreads, linked in statically so
// that the DLL deploys as one file) takes a thread-local storage index when
// the DLL is loaded and never returns it when the DLL is freed. A process has
// 1088 of them: a host that loads and frees the DLL around each call would be
// aborted by the runtime after about a thousand calls. So the DLL, once
// loaded, stays in the host's process until the process ends: a later
// LoadLibrary finds it loaded, and FreeLibrary leaves it there.
namespace {

bool StayLoaded() {
  HMODULE self = nullptr;
  return GetModuleHandleExA(
             GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
             reinterpret_cast<LPCSTR>(&StayLoaded), &self) != FALSE;
}

const bool g_stayingLoaded = StayLoaded();

}  // namespace
