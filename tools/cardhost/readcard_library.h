#pragma once
// readcard.dll loaded the way a host loads it, for the length of one
// cardhost run. Loading it ourselves (instead of through the import library)
// lets cardhost start, explain and diagnose when the DLL is missing.
#include <windows.h>

#include <string>

namespace cardhost {

class ReadcardLibrary {
 public:
  explicit ReadcardLibrary(const std::string& path);
  ~ReadcardLibrary();
  ReadcardLibrary(const ReadcardLibrary&) = delete;
  ReadcardLibrary& operator=(const ReadcardLibrary&) = delete;

  bool loaded() const { return m_module != nullptr; }
  // The system's error code when loading failed.
  DWORD loadError() const { return m_loadError; }

  // The export called name as a Function pointer; nullptr when it is missing.
  template <typename Function>
  Function Find(const char* name) const {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(m_module, name)));
  }

 private:
  HMODULE m_module;
  DWORD m_loadError = 0;
};

// The system's text for an error code (ANSI code page), without line end.
std::string SystemMessage(DWORD code);

}  // namespace cardhost
