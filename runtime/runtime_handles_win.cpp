// libgcc's exception unwinder, linked into readcard.dll, guards its table of
// the DLL's unwind information with a lock whose semaphore it creates when the
// DLL is loaded and never closes: one handle kept per load. (The runtime's
// emergency exception buffer has a lock of the same kind, which it does close
// at unload.) So that a host can load and free the DLL for as long as it runs,
// the link (runtime/CMakeLists.txt, --wrap) routes the DLL's calls of
// CreateSemaphoreW and CloseHandle through the two functions below: they note
// which semaphores are open, and those still open at unload are closed then.
// A lock's semaphore is only waited on when two threads contend for it, and
// no other thread runs code of the DLL while it is being unloaded.
#include <windows.h>

namespace {

using CreateSemaphoreFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR);
using CloseHandleFunction = BOOL(WINAPI*)(HANDLE);

}  // namespace

// The symbols of the two imports as the linker's --wrap names them: on
// 32 bits with the C prefix "_" and the __stdcall decoration, on x64 plain.
#if defined(_WIN64)
#define READCARD_WRAPPED(kind, name, bytes) "__" kind "___imp_" name
#else
#define READCARD_WRAPPED(kind, name, bytes) "___" kind "__imp__" name "@" bytes
#endif

// The system's functions, as imported.
extern "C" CreateSemaphoreFunction g_systemCreateSemaphore asm(READCARD_WRAPPED("real",
                                                                                "CreateSemaphoreW",
                                                                                "16"));
extern "C" CloseHandleFunction g_systemCloseHandle asm(READCARD_WRAPPED("real", "CloseHandle",
                                                                        "4"));

namespace {

constexpr int kSlots = 8;  // the runtime makes two
HANDLE volatile g_open[kSlots] = {};
volatile LONG g_released = 0;  // set when the DLL's leftovers are closed

HANDLE WINAPI CreateNotedSemaphore(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum,
                                   LPCWSTR name) {
  HANDLE semaphore = g_systemCreateSemaphore(security, initial, maximum, name);
  if (semaphore == nullptr) return semaphore;
  for (HANDLE volatile& slot : g_open) {
    if (InterlockedCompareExchangePointer(const_cast<PVOID volatile*>(&slot), semaphore, nullptr) ==
        nullptr) {
      break;
    }
  }
  return semaphore;
}

BOOL WINAPI CloseNotedHandle(HANDLE handle) {
  for (HANDLE volatile& slot : g_open) {
    if (handle == nullptr || slot != handle) continue;
    // Closed at unload already: the value may belong to someone else now.
    if (g_released != 0) return TRUE;
    slot = nullptr;
    break;
  }
  return g_systemCloseHandle(handle);
}

// Destroyed with the DLL's other static objects at unload.
struct CloseLeftoversAtUnload {
  ~CloseLeftoversAtUnload() {
    for (HANDLE volatile& slot : g_open) {
      if (slot != nullptr) g_systemCloseHandle(slot);
    }
    g_released = 1;
  }
} g_closeLeftoversAtUnload;

}  // namespace

// What the DLL's calls of the two system functions go through.
extern "C" CreateSemaphoreFunction g_notingCreateSemaphore asm(READCARD_WRAPPED("wrap",
                                                                                "CreateSemaphoreW",
                                                                                "16"));
extern "C" CloseHandleFunction g_notingCloseHandle asm(READCARD_WRAPPED("wrap", "CloseHandle",
                                                                        "4"));
CreateSemaphoreFunction g_notingCreateSemaphore = &CreateNotedSemaphore;
CloseHandleFunction g_notingCloseHandle = &CloseNotedHandle;
