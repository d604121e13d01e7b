#include "service/windows_text.h"

#include "service/system_text.h"

namespace service {
namespace {

std::wstring Widened(UINT codePage, const std::string& text) {
  const int length =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

}  // namespace

std::string SystemErrorText(DWORD code) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                 sizeof text, nullptr);
  std::string reason = LocalTextToUtf8(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  return std::to_string(code) + ": " + reason;
}

std::wstring WideFromSystem(const std::string& text) { return Widened(CP_ACP, text); }

std::wstring WideFromUtf8(const std::string& text) { return Widened(CP_UTF8, text); }

}  // namespace service
