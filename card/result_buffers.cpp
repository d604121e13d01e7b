#include "card/result_buffers.h"

#include <cstring>

namespace card {

char NumberBufferA[kNumberBufferSize];
char NumberBufferB[kNumberBufferSize];
char RecordBuffer[kRecordBufferSize];

void WriteResult(char* buffer, std::size_t size, std::string_view text) {
  if (size == 0) return;
  std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
  if (const void* nul = std::memchr(text.data(), '\0', length)) {
    length = static_cast<const char*>(nul) - text.data();
  }
  std::memmove(buffer, text.data(), length);
  buffer[length] = '\0';
}

}  // namespace card
