#pragma once
// How a process ended, in the words the log uses for the driver host.
#include <cstdint>
#include <string>

namespace driver {

// A Windows exit code: "exit code 3"; an unhandled exception's code as the
// system leaves it: "exception 0xC00000FD stack overflow".
std::string DescribeExitCode(uint32_t code);

// A POSIX wait status: "exit code 3", "signal 11 (SIGSEGV)".
std::string DescribeWaitStatus(int status);

}  // namespace driver
