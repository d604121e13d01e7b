#include <sys/mman.h>
#include <unistd.h>

#include "driver/record_area.h"

namespace driver {

namespace {

std::size_t PageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

}  // namespace

RecordArea::RecordArea() {
  const std::size_t page = PageSize();
  void* base = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                    -1, 0);
  if (base == MAP_FAILED) return;
  char* guard = static_cast<char*>(base) + page;
  if (mprotect(guard, page, PROT_NONE) != 0) {
    munmap(base, 2 * page);
    return;
  }
  m_base = base;
  m_area = guard - kSize;
}

RecordArea::~RecordArea() {
  if (m_base != nullptr) munmap(m_base, 2 * PageSize());
}

}  // namespace driver
