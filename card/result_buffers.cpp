#include "card/result_buffers.h"

#include <cstring>

char NumberBufferA[kNumberBufferSize];
char NumberBufferB[kNumberBufferSize];
char RecordBuffer[kRecordBufferSize];

void WriteResult(char* buffer, std::size_t size, const char* text) {
  if (size == 0) return;
  std::size_t length = 0;
  while (length < size - 1 && text[length] != '\0') ++length;
  std::memmove(buffer, text, length);
  buffer[length] = '\0';
}
