#include "tools/cardhost/text_output.h"

#include <windows.h>

#include <cstdio>

namespace cardhost {

namespace {

HANDLE ConsoleOfStandardOutput() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  return output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode) ? output : nullptr;
}

}  // namespace

TextOutput::TextOutput(bool utf8) : m_utf8(utf8), m_console(ConsoleOfStandardOutput()) {}

void TextOutput::Line(const std::string& text) const {
  if (m_console != nullptr) {
    // The console shows characters: no code page can garble them.
    const std::wstring wide = AnsiToWide(text) + L"\n";
    DWORD written = 0;
    WriteConsoleW(static_cast<HANDLE>(m_console), wide.data(), static_cast<DWORD>(wide.size()),
                  &written, nullptr);
    return;
  }
  const std::string bytes = (m_utf8 ? AnsiToUtf8(text) : text) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void TextOutput::Utf8Line(const std::string& utf8) const {
  if (m_console != nullptr) {
    const int length = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength > 0 ? wideLength : 0), L'\0');
    if (wideLength > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, &wide[0], wideLength);
    wide += L"\n";
    DWORD written = 0;
    WriteConsoleW(static_cast<HANDLE>(m_console), wide.data(), static_cast<DWORD>(wide.size()),
                  &written, nullptr);
    return;
  }
  const std::string bytes = utf8 + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (wideLength <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], wideLength);
  return wide;
}

std::string AnsiToUtf8(const std::string& text) {
  const std::wstring wide = AnsiToWide(text);
  if (wide.empty()) return std::string();
  const int wideLength = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, nullptr, nullptr);
  return utf8;
}

}  // namespace cardhost
