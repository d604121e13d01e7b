#include "tools/cardhost/readcard_library.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include "host/executable_path.h"
#include "host/host_directory.h"

namespace cardhost {

const char kReadcardFile[] = "libreadcard.so.86";

std::string ReadcardLocation(const std::string&) {
  // The library is a system library natively, not a companion file of the
  // desk directory: READCARD_HOME does not move it.
  const std::string beside =
      host::DirectoryOf(host::ExecutablePath(), '/', host::IsLeadByte) + kReadcardFile;
  return PathExists(beside) ? beside : std::string(kReadcardFile);
}

bool IsPath(const std::string& location) { return location.find('/') != std::string::npos; }

bool PathExists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

ReadcardLibrary::ReadcardLibrary(const std::string& location)
    : m_module(dlopen(location.c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (m_module == nullptr) {
    const char* error = dlerror();
    m_loadError = error != nullptr ? error : "unknown error";
  }
}

ReadcardLibrary::~ReadcardLibrary() {
  if (m_module != nullptr) dlclose(m_module);
}

std::string ReadcardLibrary::LoadedPath() const {
  struct link_map* map = nullptr;
  if (m_module == nullptr || dlinfo(m_module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr ||
      map->l_name == nullptr) {
    return std::string();
  }
  return map->l_name;
}

void* ReadcardLibrary::Symbol(const char* name) const { return dlsym(m_module, name); }

}  // namespace cardhost
