#include <sys/mman.h>
#include <unistd.h>

#include "driver/record_area.h"

namespace driver {

namespace {

std::size_t PageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

std::size_t ReservedSize() { return RecordArea::WritableSize(PageSize()) + PageSize(); }

}  // namespace

RecordArea::RecordArea() {
  const std::size_t page = PageSize();
  const std::size_t writable = WritableSize(page);
  void* base =
      mmap(nullptr, writable + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return;
  char* guard = static_cast<char*>(base) + writable;
  if (mprotect(guard, page, PROT_NONE) != 0) {
    munmap(base, writable + page);
    return;
  }
  m_base = base;
  m_area = static_cast<char*>(base);
  m_slack = writable - kSize;
}

RecordArea::~RecordArea() {
  if (m_base != nullptr) munmap(m_base, ReservedSize());
}

}  // namespace driver
