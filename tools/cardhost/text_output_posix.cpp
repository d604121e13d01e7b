#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "tools/cardhost/text_output.h"

namespace cardhost {

namespace {

// The character set of the library's own messages, and so of the log's
// lines: GBK, as on Windows, unless the build asked for UTF-8 messages.
#ifdef READCARD_UTF8_MESSAGES
constexpr char kTextCharacterSet[] = "UTF-8";
#else
constexpr char kTextCharacterSet[] = "GBK";
#endif

bool TerminalWantsUtf8() {
  if (isatty(STDOUT_FILENO) == 0) return false;
  std::setlocale(LC_CTYPE, "");
  const char* characterSet = nl_langinfo(CODESET);
  return characterSet != nullptr && std::strcmp(characterSet, "UTF-8") == 0;
}

}  // namespace

// A terminal shows characters in its locale's character set (UTF-8 on every
// current desk), so texts go to it converted, as a Windows console shows
// them; to a file or pipe they go as they are unless --utf8 asks.
TextOutput::TextOutput(bool utf8) : m_utf8(utf8 || TerminalWantsUtf8()), m_console(nullptr) {}

void TextOutput::Line(const std::string& text) const {
  const std::string bytes = (m_utf8 ? AnsiToUtf8(text) : text) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void TextOutput::Utf8Line(const std::string& utf8) const {
  const std::string bytes = utf8 + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

std::string AnsiToUtf8(const std::string& text) {
  if (std::strcmp(kTextCharacterSet, "UTF-8") == 0) return text;
  iconv_t converter = iconv_open("UTF-8", kTextCharacterSet);
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    // The C library's conversion modules are missing (a cut-down system):
    // say so once, rather than show GBK as if it were UTF-8 unnoticed.
    static bool told = false;
    if (!told) {
      told = true;
      std::fprintf(stderr,
                   "cardhost: this system cannot convert %s to UTF-8 (iconv: %s); "
                   "texts are shown as they are\n",
                   kTextCharacterSet, std::strerror(errno));
    }
    return text;
  }
  std::string result;
  char buffer[256];
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    result.append(buffer, static_cast<std::size_t>(out - buffer));
    if (converted == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A byte that opens no character, or a character cut off at the end.
      result += "\xEF\xBF\xBD";  // U+FFFD
      ++in;
      --inLeft;
    }
  }
  iconv_close(converter);
  return result;
}

}  // namespace cardhost
