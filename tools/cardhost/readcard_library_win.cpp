#include "tools/cardhost/readcard_library.h"

#include <windows.h>

namespace cardhost {

namespace {

// The system's text for an error code (ANSI code page), without line end.
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

}  // namespace

const char kReadcardFile[] = "readcard.dll";

std::string ReadcardLocation(const std::string& hostDirectory) {
  return hostDirectory + kReadcardFile;
}

bool IsPath(const std::string& location) {
  return location.find_first_of("\\/:") != std::string::npos;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ReadcardLibrary::ReadcardLibrary(const std::string& location)
    : m_module(LoadLibraryA(location.c_str())) {
  if (m_module == nullptr) {
    const DWORD error = GetLastError();
    m_loadError = "error " + std::to_string(error) + ", " + SystemMessage(error);
  }
}

ReadcardLibrary::~ReadcardLibrary() {
  if (m_module != nullptr) FreeLibrary(static_cast<HMODULE>(m_module));
}

std::string ReadcardLibrary::LoadedPath() const {
  if (m_module == nullptr) return std::string();
  char path[MAX_PATH] = {};
  GetModuleFileNameA(static_cast<HMODULE>(m_module), path, MAX_PATH);
  path[MAX_PATH - 1] = '\0';
  return path;
}

void* ReadcardLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_module), name));
}

}  // namespace cardhost
