#include "tools/cardhost/readcard_library.h"

namespace cardhost {

ReadcardLibrary::ReadcardLibrary(const std::string& path)
    : m_module(LoadLibraryA(path.c_str())) {
  if (m_module == nullptr) m_loadError = GetLastError();
}

ReadcardLibrary::~ReadcardLibrary() {
  if (m_module != nullptr) FreeLibrary(m_module);
}

std::string SystemMessage(DWORD code) {
  char text[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "unknown error" : message;
}

}  // namespace cardhost
