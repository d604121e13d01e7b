#pragma once
// Platform seam: where the library's own file lies (readcard.dll,
// libreadcard.so; the program itself when its code is linked in), which is
// not the host program's directory: the programs that ship beside the
// library are found there.
#include <string>

namespace host {

// The full path of the module that holds this code, in the system's ANSI code
// page; "" when the system cannot tell it.
std::string LibraryPath();

// LibraryPath's directory with its trailing separator; "" when unknown.
std::string LibraryDirectory();

}  // namespace host
