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
  int dirty = CountNonZero(NumberBufferA, sizeof NumberBufferA) +
              CountNonZero(NumberBufferB, sizeof NumberBufferB) +
              CountNonZero(RecordBuffer, sizeof RecordBuffer);
  static_assert(sizeof NumberBufferA == 100 && sizeof NumberBufferB == 100 &&
                    sizeof RecordBuffer == 1024,
                "result buffer sizes are part of the host interface");
  if (dirty != 0) {
    std::printf("%d non-zero bytes in the result buffers at load\n", dirty);
    return 1;
  }
  std::puts("result buffers are empty at load");
  return 0;
}
