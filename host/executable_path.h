#pragma once
// Platform seam: where the host program's executable lives.
#include <string>

namespace host {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The full path of the running program's executable in the system's ANSI code
// page, at most 259 bytes; "" when the system cannot tell it.
std::string ExecutablePath();

// Whether a byte opens a two-byte character in the system's ANSI code page
// (always false where paths are UTF-8).
bool IsLeadByte(unsigned char byte);

}  // namespace host
