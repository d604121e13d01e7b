#include "driver/dynamic_library.h"

#include <cstdio>
#include <stdexcept>

namespace driver {

void PrintLoadFailure() {
  std::fputs("LoadLibrary failed\n", stdout);
  std::fflush(stdout);
}

std::string MissingFunctionText(const std::string& name) {
  return "can not find this function " + name;
}

DynamicLibrary::DynamicLibrary(const LibraryLoader& loader) : m_loader(&loader) {}

DynamicLibrary::~DynamicLibrary() { Unload(); }

bool DynamicLibrary::Load(const std::string& path) {
  // One library at a time; the cached addresses belonged to the earlier one.
  Unload();
  functions.clear();
  module = m_loader->load(path.c_str());
  if (module == nullptr) PrintLoadFailure();
  return module != nullptr;
}

void DynamicLibrary::Unload() {
  if (module == nullptr) return;
  if (m_loader->release(module)) module = nullptr;
}

FunctionAddress DynamicLibrary::Resolve(const std::string& name) {
  auto cached = functions.find(name);
  if (cached != functions.end()) return cached->second;
  // Without a library the system would search the program itself.
  FunctionAddress address = module == nullptr ? nullptr : m_loader->find(module, name.c_str());
  if (address == nullptr) {
    throw std::runtime_error(MissingFunctionText(name));
  }
  functions.emplace(name, address);
  return address;
}

}  // namespace driver
