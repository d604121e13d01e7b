#pragma once
// Platform seam: the memory that the card driver writes its record into.
// A driver is told no size; one that writes past the 1024 bytes of the
// record must not reach the library's own data. So the driver gets an area
// of exactly that size that ends where an inaccessible page begins: the first
// byte written past the end faults at once (and the guarded call catches the
// fault on Windows; natively the process ends, as under a debugger).
#include <cstddef>

namespace driver {

class RecordArea {
 public:
  static constexpr std::size_t kSize = 1024;

  RecordArea();   // the area's content is undefined until written
  ~RecordArea();  // gives the memory back
  RecordArea(const RecordArea&) = delete;
  RecordArea& operator=(const RecordArea&) = delete;

  // The kSize bytes, or null when the system had no memory for them.
  char* data() const { return m_area; }

 private:
  void* m_base = nullptr;  // the reservation: the area's page and the one after it
  char* m_area = nullptr;
};

}  // namespace driver
