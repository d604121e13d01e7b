#pragma once
// The three result buffers through which the working exports hand text to the
// host. They are process-wide, zero-initialised, and the host reads them
// through the pointers it receives, so their addresses must never change.
#include <cstddef>
#include <string>
#include <string_view>

namespace card {

constexpr std::size_t kNumberBufferSize = 100;
constexpr std::size_t kRecordBufferSize = 1024;

extern char NumberBufferA[kNumberBufferSize];  // card numbers (QTZ_DKH, CK_DKH)
extern char NumberBufferB[kNumberBufferSize];  // second copy of the IC card number
extern char RecordBuffer[kRecordBufferSize];   // driver record; card information line

// Writes text into buffer as a bounded "%s" print does: at most size - 1 bytes
// (cut by bytes, also inside a two-byte character), up to text's first NUL,
// always followed by a NUL.
void WriteResult(char* buffer, std::size_t size, std::string_view text);

template <std::size_t N>
void WriteResult(char (&buffer)[N], std::string_view text) {
  WriteResult(buffer, N, text);
}

}  // namespace card
