#pragma once
// Runs programs as child processes (native builds) to their end, with what
// they print caught, in a directory and environment of the test's choosing.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct ProgramRun {
  int exitCode = -1;   // stays so when the program did not start or was killed
  std::string output;  // standard output and error, as bytes
};

// Environment changes for the child: a value sets the variable, none unsets it.
using EnvironmentChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

// Runs program (a full path, or a name found on PATH) with arguments, in directory, with this process's
// environment changed as given, until it ends.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& directory,
                      const EnvironmentChanges& environment = EnvironmentChanges());

}  // namespace testing_support
