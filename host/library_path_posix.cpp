#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include "host/executable_path.h"
#include "host/library_path.h"
#include "host/host_directory.h"

namespace host {

std::string LibraryPath() {
  Dl_info info = {};
  if (dladdr(reinterpret_cast<void*>(&LibraryPath), &info) == 0 || info.dli_fname == nullptr) {
    return "";
  }
  // For code linked into the program itself the loader gives the program's
  // name as it was started, often without any directory; a library found
  // through a relative search path (LD_LIBRARY_PATH=.) comes with that path.
  const std::string name = info.dli_fname;
  if (name.find('/') == std::string::npos) return ExecutablePath();
  if (name[0] == '/') return name;
  char resolved[PATH_MAX];
  if (realpath(name.c_str(), resolved) == nullptr) return ExecutablePath();
  return resolved;
}

std::string LibraryDirectory() { return DirectoryOf(LibraryPath(), '/', IsLeadByte); }

}  // namespace host
