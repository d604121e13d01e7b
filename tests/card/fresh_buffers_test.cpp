// Right after load, before anything has been called, the three result
// buffers hold nothing but zeros.
#include <cstdio>

#include "card/result_buffers.h"

namespace {

int CountNonZero(const char* buffer, std::size_t size) {
  int count = 0;
  for (std::size_t i = 0; i < size; ++i) count += buffer[i] != 0;
  return count;
}

}  // namespace

int main() {
  int dirty = CountNonZero(card::NumberBufferA, sizeof card::NumberBufferA) +
              CountNonZero(card::NumberBufferB, sizeof card::NumberBufferB) +
              CountNonZero(card::RecordBuffer, sizeof card::RecordBuffer);
  static_assert(sizeof card::NumberBufferA == 100 && sizeof card::NumberBufferB == 100 &&
                    sizeof card::RecordBuffer == 1024,
                "result buffer sizes are part of the host interface");
  if (dirty != 0) {
    std::printf("%d non-zero bytes in the result buffers at load\n", dirty);
    return 1;
  }
  std::puts("result buffers are empty at load");
  return 0;
}
