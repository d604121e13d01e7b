#include "process_resources.h"

#include <windows.h>

#include <vector>

namespace host {

uint32_t NextFreeTlsIndex() {
  const DWORD index = TlsAlloc();
  TlsFree(index);
  return index;
}

long HandleCount() {
  // Looked up at run time: Windows XP before SP1 lacks it, and the test
  // programs run wherever the library does.
  using Count = BOOL(WINAPI*)(HANDLE, PDWORD);
  const auto count = reinterpret_cast<Count>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessHandleCount")));
  DWORD handles = 0;
  if (count == nullptr || !count(GetCurrentProcess(), &handles)) return -1;
  return static_cast<long>(handles);
}

std::size_t HeapBytesInUse() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  std::size_t total = 0;
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) total += entry.cbData;
    }
    HeapUnlock(heap);
  }
  return total;
}

}  // namespace host
