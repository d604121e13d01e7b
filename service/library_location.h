#pragma once
// Where the card worker loads the card library from, as a host would find
// it. Windows: readcard.dll beside the program. Natively the library is a
// system library, known by its SONAME (libreadcard.so.86): that file, or the
// real file libreadcard.so.86.0.0, beside the program when one is there (a
// desk directory, the build tree), else the SONAME alone, which the system's
// loader finds where it finds every installed library.
#include <string>

namespace service {

// programDirectory ends in its separator.
std::string CardLibraryLocation(const std::string& programDirectory);

// The library's name as the loader knows it (readcard.dll, libreadcard.so.86).
const char* CardLibraryName();

// Whether location is a path rather than a name for the loader to find.
bool IsLibraryPath(const std::string& location);

}  // namespace service
