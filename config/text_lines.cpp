#include "config/text_lines.h"

#include <algorithm>
#include <utility>

namespace config {

namespace {
constexpr unsigned char kCtrlZ = 0x1A;
constexpr std::size_t kChunkSize = 4096;
}  // namespace

ByteReader StringBytes(std::string text) {
  return
      [bytes = std::move(text), offset = std::size_t{0}](char* buffer, std::size_t size) mutable {
        std::size_t count = bytes.copy(buffer, size, offset);
        offset += count;
        return count;
      };
}

TextLines::TextLines(ByteReader read) : m_read(std::move(read)), m_buffer(kChunkSize) {}

int TextLines::Peek() {
  if (m_ended) return kEnd;
  if (m_position == m_length) {
    m_position = 0;
    m_length = std::min(m_read(m_buffer.data(), m_buffer.size()), m_buffer.size());
    if (m_length == 0) {
      m_ended = true;
      return kEnd;
    }
  }
  unsigned char byte = static_cast<unsigned char>(m_buffer[m_position]);
  if (byte == kCtrlZ) {
    m_ended = true;  // nothing after it is read
    return kEnd;
  }
  return byte;
}

bool TextLines::Next(std::string& line) {
  line.clear();
  if (Peek() == kEnd) return false;
  for (int byte = Peek(); byte != kEnd; byte = Peek()) {
    ++m_position;
    if (byte == '\n') break;
    if (byte == '\r' && Peek() == '\n') continue;  // CR LF reads as LF
    line.push_back(static_cast<char>(byte));
  }
  return true;
}

}  // namespace config
