#pragma once
// Platform seam: the simulated driver's faults that end its whole process.

namespace simdriver {

// Ends the process at once with code, as a driver calling ExitProcess or
// _exit does.
[[noreturn]] void EndProcess(int code);

// Raises a C++ exception that nothing catches, as the vendors' drivers
// throw it: on Windows the Visual C++ runtime's exception (0xE06D7363), for
// which a MinGW-built caller has no handler; natively a C++ throw.
[[noreturn]] void ThrowUncaught();

}  // namespace simdriver
