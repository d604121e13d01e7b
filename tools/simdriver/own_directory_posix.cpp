#include <dlfcn.h>

#include <cstring>

#include "tools/simdriver/own_directory.h"

namespace simdriver {

void OwnDirectory(char* buffer, std::size_t size) {
  buffer[0] = '\0';
  Dl_info info = {};
  if (dladdr(reinterpret_cast<void*>(&OwnDirectory), &info) == 0 || info.dli_fname == nullptr) {
    return;
  }
  const char* last = std::strrchr(info.dli_fname, '/');
  if (last == nullptr) return;
  const std::size_t length = last + 1 - info.dli_fname;
  if (length >= size) return;
  std::memcpy(buffer, info.dli_fname, length);
  buffer[length] = '\0';
}

}  // namespace simdriver
