#include <windows.h>

#include "driver/record_area.h"

namespace driver {

namespace {

std::size_t PageSize() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
}

}  // namespace

RecordArea::RecordArea() {
  const std::size_t page = PageSize();
  const std::size_t writable = WritableSize(page);
  void* base = VirtualAlloc(nullptr, writable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (base == nullptr) return;
  char* guard = static_cast<char*>(base) + writable;
  DWORD previous = 0;
  if (!VirtualProtect(guard, page, PAGE_NOACCESS, &previous)) {
    VirtualFree(base, 0, MEM_RELEASE);
    return;
  }
  m_base = base;
  m_area = static_cast<char*>(base);
  m_slack = writable - kSize;
}

RecordArea::~RecordArea() {
  if (m_base != nullptr) VirtualFree(m_base, 0, MEM_RELEASE);
}

}  // namespace driver
