#include "process_resources.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "tests/support/emulation.h"

namespace host {

uint32_t NextFreeTlsIndex() {
  const DWORD index = TlsAlloc();
  TlsFree(index);
  return index;
}

namespace {

// The system's list of open handles (NtQuerySystemInformation with
// SystemHandleInformation): present from Windows NT on and in Wine, where
// GetProcessHandleCount answers 0.
struct SystemHandle {
  ULONG ownerProcessId;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ACCESS_MASK access;
};
// The answer: a count, then the entries at their own alignment (offset 8
// on x64, where an entry holds a 64-bit pointer).
struct SystemHandleList {
  ULONG count;
  SystemHandle handles[1];
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

}  // namespace

long HandleCount() {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<unsigned char> buffer(1 << 16);
  LONG status;
  ULONG needed = 0;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         &needed)) == kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status < 0) return -1;
  constexpr std::size_t kEntries = offsetof(SystemHandleList, handles);
  ULONG count = 0;
  std::memcpy(&count, buffer.data(), sizeof count);
  const ULONG room = static_cast<ULONG>((buffer.size() - kEntries) / sizeof(SystemHandle));
  if (count > room) count = room;
  const DWORD self = GetCurrentProcessId();
  long own = 0;
  const SystemHandle* handles = reinterpret_cast<const SystemHandle*>(buffer.data() + kEntries);
  for (ULONG i = 0; i < count; ++i) own += handles[i].ownerProcessId == self ? 1 : 0;
  return own;
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

bool HeapBytesAreExact() { return !testing_support::EnvironmentFlag("READCARD_HEAP_CHECKED"); }

}  // namespace host
