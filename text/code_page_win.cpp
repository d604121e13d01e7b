#include <windows.h>

#include "text/code_page.h"

namespace text {

namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

// bytes in code page as UTF-16; false when they hold a sequence that the
// code page cannot read.
bool Widen(UINT codePage, const char* bytes, int count, std::wstring& wide) {
  wide.clear();
  if (count == 0) return true;
  const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, count, nullptr, 0);
  if (length <= 0) return false;
  wide.resize(static_cast<std::size_t>(length));
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, count, &wide[0], length) ==
         length;
}

std::string Narrow(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int count = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), count, &narrow[0], length, nullptr, nullptr);
  return narrow;
}

// The ANSI text as UTF-16, one character at a time where the whole will not
// convert, so that each unreadable byte becomes one U+FFFD.
std::wstring WidenSystem(const std::string& system) {
  std::wstring wide;
  if (Widen(CP_ACP, system.data(), static_cast<int>(system.size()), wide)) return wide;
  std::wstring result, piece;
  std::size_t at = 0;
  while (at < system.size()) {
    const bool pair =
        IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(system[at])) && at + 1 < system.size();
    const int length = pair ? 2 : 1;
    if (Widen(CP_ACP, system.data() + at, length, piece) && !piece.empty()) {
      result += piece;
      at += static_cast<std::size_t>(length);
    } else {
      result += kReplacementCharacter;
      at += 1;
    }
  }
  return result;
}

// The UTF-8 text as UTF-16, each byte that starts no well-formed sequence
// taken as U+FFFD.
std::wstring WidenUtf8(const std::string& utf8) {
  std::wstring wide;
  if (Widen(CP_UTF8, utf8.data(), static_cast<int>(utf8.size()), wide)) return wide;
  std::wstring result, piece;
  std::size_t at = 0;
  while (at < utf8.size()) {
    const std::size_t length = Utf8SequenceLength(utf8, at);
    if (length > 0 && Widen(CP_UTF8, utf8.data() + at, static_cast<int>(length), piece)) {
      result += piece;
      at += length;
    } else {
      result += kReplacementCharacter;
      at += 1;
    }
  }
  return result;
}

// UTF-16 in the ANSI code page, one '?' for each character it lacks (a
// character beyond the BMP is two UTF-16 units, but one '?').
std::string NarrowSystem(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  BOOL lacking = FALSE;
  const int count = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), count, nullptr, 0, nullptr, &lacking);
  if (length > 0 && !lacking) return Narrow(CP_ACP, wide);
  std::string result;
  char bytes[8];
  for (std::size_t at = 0; at < wide.size();) {
    const bool pair = wide[at] >= 0xD800 && wide[at] <= 0xDBFF && at + 1 < wide.size() &&
                      wide[at + 1] >= 0xDC00 && wide[at + 1] <= 0xDFFF;
    const int units = pair ? 2 : 1;
    BOOL lacks = FALSE;
    const int got = WideCharToMultiByte(CP_ACP, 0, wide.data() + at, units, bytes, sizeof bytes,
                                        nullptr, &lacks);
    if (got > 0 && !lacks) {
      result.append(bytes, static_cast<std::size_t>(got));
    } else {
      result += '?';
    }
    at += static_cast<std::size_t>(units);
  }
  return result;
}

}  // namespace

std::string SystemToUtf8(const std::string& system) { return Narrow(CP_UTF8, WidenSystem(system)); }

std::string Utf8ToSystem(const std::string& utf8) { return NarrowSystem(WidenUtf8(utf8)); }

}  // namespace text
