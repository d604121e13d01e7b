#include "service/system_text.h"

#include "text/code_page.h"

namespace service {

std::string SystemTextToUtf8(const std::string& text) { return text::SystemToUtf8(text); }

std::string ConsoleText(const std::string& utf8) {
#ifdef _WIN32
  return text::Utf8ToSystem(utf8);
#else
  return utf8;
#endif
}

}  // namespace service
