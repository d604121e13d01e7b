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
  void* base = VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (base == nullptr) return;
  char* guard = static_cast<char*>(base) + page;
  DWORD previous = 0;
  if (!VirtualProtect(guard, page, PAGE_NOACCESS, &previous)) {
    VirtualFree(base, 0, MEM_RELEASE);
    return;
  }
  m_base = base;
  m_area = guard - kSize;
}

RecordArea::~RecordArea() {
  if (m_base != nullptr) VirtualFree(m_base, 0, MEM_RELEASE);
}

}  // namespace driver
