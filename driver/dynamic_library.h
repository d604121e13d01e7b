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

namespace driver {

// Prints "LoadLibrary failed\n" on standard output: what a host sees of a
// driver that the system cannot load, wherever the load was tried.
void PrintLoadFailure();

// "can not find this function <name>": the binding's error for a missing
// function.
std::string MissingFunctionText(const std::string& name);

class DynamicLibrary {
 public:
  explicit DynamicLibrary(const LibraryLoader& loader = PlatformLibraryLoader());
  ~DynamicLibrary();  // Unload
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library file at path (narrow text in the system code page).
  // When the system cannot load it, prints "LoadLibrary failed\n" on standard
  // output: hosts started from a console have always shown that line, and
  // desk scripts that run a host look for it, so it stays beside the log's
  // record. True when a library is now loaded. A library loaded before is
  // freed first.
  bool Load(const std::string& path);

  // Frees the library, if one is loaded. When the system refuses, the handle
  // is kept and nothing is reported.
  void Unload();

  // The address of name, from the cache or else from the system (and then
  // cached). Throws std::runtime_error "can not find this function <name>"
  // when no library is loaded or it has no such export. The caller calls it
  // through the driver's guard (driver/guarded_call.h).
  FunctionAddress Resolve(const std::string& name);

  ModuleHandle module = nullptr;  // null while nothing is loaded
  // Names already resolved, with their addresses; never holds a null address.
  std::map<std::string, FunctionAddress> functions;

 private:
  const LibraryLoader* m_loader;
};

}  // namespace driver
