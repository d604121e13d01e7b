#pragma once
// Platform seam: the three system operations that bind a dynamic library.
// Windows: LoadLibraryA, GetProcAddress, FreeLibrary; natively dlopen,
// dlsym, dlclose.
#ifdef _WIN32
#include <windows.h>
#endif

namespace driver {

#ifdef _WIN32
using ModuleHandle = HMODULE;
#else
using ModuleHandle = void*;
#endif

// Any function's address; converted to the real function type before a call.
using FunctionAddress = void (*)();

struct LibraryLoader {
  // The library at path (narrow text in the system code page), or null.
  ModuleHandle (*load)(const char* path);
  // The address of the export name in module, or null when it has none.
  FunctionAddress (*find)(ModuleHandle module, const char* name);
  // Releases module; false when the system refuses.
  bool (*release)(ModuleHandle module);
};

// The system's own operations.
const LibraryLoader& PlatformLibraryLoader();

}  // namespace driver
