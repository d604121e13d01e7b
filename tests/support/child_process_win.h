#pragma once
// Starts console programs as child processes (Windows): either run to their
// end with what they print caught, or started and left to the caller.
#include <windows.h>

#include <string>

namespace testing_support {

struct ProgramRun {
  unsigned long exitCode = 0xFFFFFFFF;  // stays so when the program did not start
  std::string output;                   // standard output and error, as bytes
};

// Runs program (full path) with the command line's arguments, in directory,
// until it ends; returns its exit code and what it printed.
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& directory);

// Starts program (full path) with the command line's arguments, in directory,
// with this process's environment; returns the process's handle, which the
// caller waits on and closes, or nullptr when it did not start.
HANDLE StartProgram(const std::string& program, const std::string& arguments,
                    const std::string& directory);

}  // namespace testing_support
