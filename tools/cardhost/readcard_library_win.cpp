#include "tools/cardhost/readcard_library.h"

#include <windows.h>

#include "driver/pe_file.h"

#include "tools/cardhost/messages.h"

namespace cardhost {

using driver::kMachineX86;
using driver::PeFile;
using driver::ReadPeFile;

namespace {

// The system's text for an error code (ANSI code page), without line end,
// its placeholders (%1 in "%1 is not a valid Win32 application") filled
// with the file's name.
std::string SystemMessage(DWORD code, const std::string& file) {
  char text[512] = {};
  DWORD_PTR inserts[9];
  for (DWORD_PTR& insert : inserts) insert = reinterpret_cast<DWORD_PTR>(file.c_str());
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr,
                                code, 0, text, sizeof text, reinterpret_cast<va_list*>(inserts));
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "unknown error" : message;
}

// The first DLL that the file at path imports and the system cannot find,
// looked for as the loader looks: beside the file, then on the search path.
std::string FirstMissingImport(const std::string& path) {
  const std::string directory = path.substr(0, path.find_last_of("\\/") + 1);
  for (const std::string& name : ReadPeFile(path).imports) {
    if (GetFileAttributesA((directory + name).c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    HMODULE found = LoadLibraryExA(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (found == nullptr) return name;
    FreeLibrary(found);
  }
  return std::string();
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

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
    m_loadError = Say(Message::kSystemError,
                      {std::to_string(error), SystemMessage(error, FileName(location))});
    if (error == ERROR_MOD_NOT_FOUND && IsPath(location)) {
      m_missingModule = FirstMissingImport(location);
      if (!m_missingModule.empty()) {
        m_loadError += "; " + Say(Message::kMissingModule, {m_missingModule});
      }
    }
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
