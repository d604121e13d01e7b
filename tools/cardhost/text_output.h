#pragma once
// Everything cardhost prints goes through here. Texts from the library,
// Login.ini and the log are bytes in the system's ANSI code page (GBK on
// Chinese Windows; natively GBK too, the library's messages and the drivers'
// texts being the same bytes as on Windows):
// - to a console (a terminal natively) they are shown as characters;
// - to a file or pipe they go as they are, or converted to UTF-8 when the
//   user asked for it (--utf8, for Linux tools reading Wine's output, or a
//   GBK log read on Linux).
// Platform seam: text_output_win.cpp, text_output_posix.cpp.
#include <string>

namespace cardhost {

class TextOutput {
 public:
  explicit TextOutput(bool utf8);

  // Writes text (ANSI code page) and a line end.
  void Line(const std::string& text) const;
  // Writes UTF-8 text (JSON) and a line end: to a file or pipe as it is.
  void Utf8Line(const std::string& utf8) const;

 private:
  bool m_utf8;
  void* m_console;  // the console that standard output shows, or null
};

// text (system ANSI code page) as UTF-8; bytes that do not convert become
// U+FFFD.
std::string AnsiToUtf8(const std::string& text);

// The same as UTF-16, for the Windows console.
std::wstring AnsiToWide(const std::string& text);

}  // namespace cardhost
