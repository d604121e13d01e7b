#pragma once
// Binds one dynamically loaded library for the length of one export call:
// loads it by path, resolves a function by name on its first call and keeps
// the address, calls it, and frees the library when the object ends, on
// every path out of the call.
#include <map>
#include <string>

#include "driver/library_loader.h"

// The calling convention of the functions that the binding calls: the
// standard Windows one (callee removes the arguments).
#ifdef _WIN32
#define DRIVER_CALL __stdcall
#else
#define DRIVER_CALL
#endif

class DynamicLibrary {
 public:
  explicit DynamicLibrary(
      const driver::LibraryLoader& loader = driver::PlatformLibraryLoader());
  ~DynamicLibrary();  // Unload
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library file at path (narrow text in the system code page).
  // When the system cannot load it, prints "LoadLibrary failed\n" on standard
  // output. True when a library is now loaded. A library loaded before is
  // freed first.
  bool Load(const std::string& path);

  // Calls the library's function name as R (__stdcall *)(Args...) and
  // returns its result. Throws std::runtime_error "can not find this
  // function <name>" when no library is loaded or it has no such export.
  template <typename R, typename... Args>
  R Call(const std::string& name, Args... args) {
    using Function = R(DRIVER_CALL*)(Args...);
    Function function = reinterpret_cast<Function>(Resolve(name));
    return function(args...);
  }

  // Frees the library, if one is loaded. When the system refuses, the handle
  // is kept and nothing is reported.
  void Unload();

  // The address of name, from the cache or else from the system (and then
  // cached); throws as Call does when there is none. For calls that do not
  // go through Call.
  driver::FunctionAddress Resolve(const std::string& name);

  driver::ModuleHandle module = nullptr;  // null while nothing is loaded
  // Names already resolved, with their addresses; never holds a null address.
  std::map<std::string, driver::FunctionAddress> functions;

 private:
  const driver::LibraryLoader* m_loader;
};
