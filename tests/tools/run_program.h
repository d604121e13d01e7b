#pragma once
// Runs a console program the way IT staff start one, and catches what it
// prints.
#include <string>

namespace testing_support {

struct ProgramRun {
  unsigned long exitCode = 0xFFFFFFFF;  // stays so when the program did not start
  std::string output;                   // standard output and error, as bytes
};

// Runs program (full path) with the command line's arguments, in directory.
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& directory);

}  // namespace testing_support
