#include "host/executable_path.h"

#include <unistd.h>

namespace host {

std::string ExecutablePath() {
  char buffer[260] = {};
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return std::string();
  return std::string(buffer, static_cast<size_t>(length));
}

}  // namespace host

namespace host {

// UTF-8 never uses an ASCII byte inside a multi-byte character.
bool IsLeadByte(unsigned char) { return false; }

}  // namespace host
