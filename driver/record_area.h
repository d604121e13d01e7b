#pragma once
// Platform seam: the memory that the card driver writes its record into.
// A driver is told no size. Some drivers clear or fill a buffer of their own
// idea of its size (2 KiB, 4 KiB) and answer correctly all the same: after the
// record's kSize bytes the area has at least kMinimumSlack bytes of slack that
// the driver may write and whose content nobody reads. Where the slack ends,
// an inaccessible page begins, so a driver writing further cannot reach the
// library's own data: the first byte past the slack faults at once (and the
// guarded call catches the fault on Windows; natively the process ends, as
// under a debugger).
#include <cstddef>

namespace driver {

class RecordArea {
 public:
  static constexpr std::size_t kSize = 1024;
  static constexpr std::size_t kMinimumSlack = 15 * 1024;

  RecordArea();   // the record's content is undefined until written
  ~RecordArea();  // gives the memory back
  RecordArea(const RecordArea&) = delete;
  RecordArea& operator=(const RecordArea&) = delete;

  // The kSize bytes of the record, followed by slack() writable bytes; null
  // when the system had no memory for them.
  char* data() const { return m_area; }

  // The writable bytes after the record: kMinimumSlack, or more where pages
  // are larger than 4 KiB.
  std::size_t slack() const { return m_slack; }

  // The area's size in whole pages: the record and at least kMinimumSlack.
  static std::size_t WritableSize(std::size_t pageSize) {
    return (kSize + kMinimumSlack + pageSize - 1) / pageSize * pageSize;
  }

 private:
  void* m_base = nullptr;  // the reservation: the writable pages and the one after them
  char* m_area = nullptr;
  std::size_t m_slack = 0;
};

}  // namespace driver
