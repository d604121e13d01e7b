#pragma once
// Splits a stream of bytes into lines the way a text-mode read on Windows
// sees them, the same on every build: CR LF reads as LF (a CR followed by
// anything else stays), and a Ctrl-Z byte (0x1A) ends the text.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace config {

// Fills buffer with up to size raw bytes and tells how many it gave; 0 at the
// end of the bytes or on a read error.
using ByteReader = std::function<std::size_t(char* buffer, std::size_t size)>;

// The bytes of text, handed out in order.
ByteReader StringBytes(std::string text);

class TextLines {
 public:
  explicit TextLines(ByteReader read);

  // The next line, without its LF; no length limit, NUL bytes included.
  // False once the text has ended. The last line needs no LF.
  bool Next(std::string& line);

 private:
  static constexpr int kEnd = -1;
  int Peek();  // the next byte, or kEnd; does not consume it

  ByteReader m_read;
  std::vector<char> m_buffer;
  std::size_t m_position = 0;  // next unread byte in m_buffer
  std::size_t m_length = 0;    // bytes held in m_buffer
  bool m_ended = false;
};

}  // namespace config
