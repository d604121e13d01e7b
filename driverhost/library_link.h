#pragma once
// Platform seam: the driver host's one pipe to the library, and its tie to
// the host process. The pipe is the standard input and output that the
// library started it with; the driver's own printing goes to the standard
// error it was given (the null device). The driver host ends
// when the pipe closes, and, should a driver hold it up then, when the host
// process ends: a watch on the host ends it at once.
#include <cstddef>
#include <string>

namespace driverhost {

// Takes the pipe, moves standard output aside and starts the watch on the
// host that "--host <id>" names (a process handle on Windows, a process ID
// natively). On Windows a crash of the driver ends the process at once with
// the exception's code as its exit code: no error dialog, no debugger. False
// when the program was not started by the library.
bool ConnectToLibrary(int argc, char** argv);

// Appends to bytes what the pipe holds, at least one byte and at most
// limit; false at its end.
bool ReadFromLibrary(std::string& bytes, std::size_t limit);

// Writes all of bytes; false when the pipe is gone.
bool WriteToLibrary(const std::string& bytes);

}  // namespace driverhost
