#pragma once
// The card library (or the card driver) loaded the way a host loads it, for
// the length of one cardhost run. Loading it ourselves (instead of linking
// it) lets cardhost start, explain and diagnose when the library is missing.
// Platform seam: readcard_library_win.cpp, readcard_library_posix.cpp.
#include <string>

namespace cardhost {

// The card library's file as hosts name it: readcard.dll; natively its
// SONAME, libreadcard.so.86.
extern const char kReadcardFile[];

// Where cardhost loads the card library from: readcard.dll in the host
// directory on Windows. Natively libreadcard.so.86 beside cardhost when it is
// there (a desk directory, the build tree), else the bare name, which the
// system's loader finds where it finds every installed library.
std::string ReadcardLocation(const std::string& hostDirectory);

// Whether location is a path (rather than a name for the loader to find).
bool IsPath(const std::string& location);

// Whether a file or directory stands at path.
bool PathExists(const std::string& path);

class ReadcardLibrary {
 public:
  explicit ReadcardLibrary(const std::string& location);
  ~ReadcardLibrary();
  ReadcardLibrary(const ReadcardLibrary&) = delete;
  ReadcardLibrary& operator=(const ReadcardLibrary&) = delete;

  bool loaded() const { return m_module != nullptr; }
  // Why loading failed, as the system tells it ("error 126, ..." on
  // Windows, the loader's message natively).
  const std::string& loadError() const { return m_loadError; }
  // For a library that loads no further for want of a DLL it imports
  // (Windows error 126): that DLL's name; "" otherwise.
  const std::string& missingModule() const { return m_missingModule; }
  // The full path of the file that was loaded; "" when nothing was.
  std::string LoadedPath() const;

  // The export called name as a Function pointer; nullptr when it is missing.
  template <typename Function>
  Function Find(const char* name) const {
    return reinterpret_cast<Function>(Symbol(name));
  }

 private:
  void* Symbol(const char* name) const;

  void* m_module;
  std::string m_loadError;
  std::string m_missingModule;
};

}  // namespace cardhost
