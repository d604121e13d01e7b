#include <dlfcn.h>

#include "tools/simdriver/own_directory.h"

namespace simdriver {

std::string OwnDirectory() {
  Dl_info info = {};
  if (dladdr(reinterpret_cast<void*>(&OwnDirectory), &info) == 0 ||
      info.dli_fname == nullptr) {
    return std::string();
  }
  std::string path = info.dli_fname;
  return path.substr(0, path.rfind('/') + 1);  // npos + 1 == 0: ""
}

}  // namespace simdriver
