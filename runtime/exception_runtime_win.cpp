// What the C++ runtime's exception handling holds inside readcard.dll, given
// back when the DLL is unloaded: hosts that load and free the DLL around each
// call must be able to do so for as long as they run.
//
// - Each thread's exception state (the C++ ABI's __cxa_get_globals: the
//   exceptions it is handling). libgcc keeps it in its emulated thread-local
//   storage, which takes a thread-local storage index and a semaphore at the
//   first exception or log record of each load and never returns them; a
//   process has 1088 indexes. The two functions below take the place of
//   libgcc's (the linker leaves its version out) and keep the state behind
//   an index that is freed at unload.
// - The emergency buffer for exceptions thrown when memory is exhausted, some
//   19 KB allocated at load; __gnu_cxx::__freeres returns it.
#include <windows.h>

#include <cxxabi.h>

namespace __cxxabiv1 {
// The C++ ABI's layout of a thread's exception state on x86.
struct __cxa_eh_globals {
  void* caughtExceptions;
  unsigned int uncaughtExceptions;
};
}  // namespace __cxxabiv1

namespace __gnu_cxx {
void __freeres() noexcept;
}

// The C runtime's destructors for thread-local values, run as a thread ends.
extern "C" int __mingwthr_key_dtor(DWORD key, void (*dtor)(void*));
extern "C" int __mingwthr_remove_key_dtor(DWORD key);

namespace {

using ThreadState = __cxxabiv1::__cxa_eh_globals;

constexpr LONG kNoIndex = static_cast<LONG>(TLS_OUT_OF_INDEXES);

volatile LONG g_index = kNoIndex;  // taken at the first exception
volatile LONG g_released = 0;      // set once the DLL is being unloaded
// For a thread that cannot have its own state (no index or no memory left,
// or the DLL past its release): shared, which is right as long as only one
// such thread handles an exception at a time.
ThreadState g_sharedState = {};

void FreeThreadState(void* state) {
  if (state != nullptr) HeapFree(GetProcessHeap(), 0, state);
}

// Run by the C runtime with the thread's state when a thread ends, and for
// the unloading thread when the DLL is unloaded: that comes before the static
// objects are destroyed and leaves the slot as it was. The slot is emptied
// first, so that neither ReleaseAtUnload nor a later exception in the same
// thread finds the freed state and uses or frees it again.
void ThreadStateEnds(void* state) {
  const LONG index = g_index;
  if (index != kNoIndex) TlsSetValue(static_cast<DWORD>(index), nullptr);
  FreeThreadState(state);
}

DWORD Index() {
  const LONG index = g_index;
  if (index != kNoIndex) return static_cast<DWORD>(index);
  const DWORD fresh = TlsAlloc();
  if (fresh == TLS_OUT_OF_INDEXES) return fresh;
  const LONG earlier = InterlockedCompareExchange(&g_index, static_cast<LONG>(fresh), kNoIndex);
  if (earlier != kNoIndex) {  // another thread was first
    TlsFree(fresh);
    return static_cast<DWORD>(earlier);
  }
  __mingwthr_key_dtor(fresh, ThreadStateEnds);
  return fresh;
}

ThreadState* CurrentThreadState() {
  if (g_released != 0) return &g_sharedState;
  const DWORD index = Index();
  if (index == TLS_OUT_OF_INDEXES) return &g_sharedState;
  void* state = TlsGetValue(index);
  if (state == nullptr) {
    state = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ThreadState));
    if (state == nullptr || !TlsSetValue(index, state)) {
      FreeThreadState(state);
      return &g_sharedState;
    }
  }
  return static_cast<ThreadState*>(state);
}

// Destroyed with the DLL's other static objects at unload. The unloading
// thread's state goes with the index; a thread that is still running keeps
// its few bytes.
struct ReleaseAtUnload {
  ~ReleaseAtUnload() {
    g_released = 1;
    const LONG index = g_index;
    if (index != kNoIndex) {
      __mingwthr_remove_key_dtor(static_cast<DWORD>(index));
      FreeThreadState(TlsGetValue(static_cast<DWORD>(index)));
      TlsFree(static_cast<DWORD>(index));
    }
    __gnu_cxx::__freeres();
  }
} g_releaseAtUnload;

}  // namespace

namespace __cxxabiv1 {

extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept { return CurrentThreadState(); }

extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept { return CurrentThreadState(); }

}  // namespace __cxxabiv1
