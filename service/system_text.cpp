#include "service/system_text.h"

#include "text/code_page.h"

namespace service {

std::string SystemTextToUtf8(const std::string& text) { return text::SystemToUtf8(text); }

std::string LocalTextToUtf8(const std::string& text) {
#ifdef _WIN32
  return text::SystemToUtf8(text);
#else
  std::string utf8;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = text::Utf8SequenceLength(text, at);
    if (length == 0) {
      utf8 += "\xEF\xBF\xBD";  // U+FFFD
      ++at;
    } else {
      utf8.append(text, at, length);
      at += length;
    }
  }
  return utf8;
#endif
}

std::string ConsoleText(const std::string& utf8) {
#ifdef _WIN32
  return text::Utf8ToSystem(utf8);
#else
  return utf8;
#endif
}

}  // namespace service
