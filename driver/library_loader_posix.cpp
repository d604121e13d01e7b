#include <dlfcn.h>

#include "driver/library_loader.h"

namespace driver {

namespace {

ModuleHandle Load(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

FunctionAddress Find(ModuleHandle module, const char* name) {
  return reinterpret_cast<FunctionAddress>(dlsym(module, name));
}

bool Release(ModuleHandle module) { return dlclose(module) == 0; }

}  // namespace

const LibraryLoader& PlatformLibraryLoader() {
  static const LibraryLoader loader = {Load, Find, Release};
  return loader;
}

}  // namespace driver
