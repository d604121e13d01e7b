#include "driver/library_loader.h"

namespace driver {

namespace {

ModuleHandle Load(const char* path) { return LoadLibraryA(path); }

FunctionAddress Find(ModuleHandle module, const char* name) {
  return reinterpret_cast<FunctionAddress>(GetProcAddress(module, name));
}

bool Release(ModuleHandle module) { return FreeLibrary(module) != FALSE; }

}  // namespace

const LibraryLoader& PlatformLibraryLoader() {
  static const LibraryLoader loader = {Load, Find, Release};
  return loader;
}

}  // namespace driver
