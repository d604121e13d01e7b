#include "host/executable_path.h"

#include <windows.h>

namespace host {

std::string ExecutablePath() {
  char buffer[MAX_PATH] = {};
  // A null module handle names the host program, not this DLL. On failure the
  // buffer stays zeroed; a cut path is still NUL-terminated within it.
  GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  buffer[MAX_PATH - 1] = '\0';
  return buffer;
}

}  // namespace host

namespace host {

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace host
