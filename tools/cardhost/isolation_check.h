#pragma once
// cardhost --check: readcard.ini's [driver] setting, and whether the driver
// host that it asks for is there, starts and answers.
#include <string>
#include <vector>

namespace cardhost {

struct IsolationFinding {
  std::string label;
  std::string text;
  bool problem = false;
};

// directory: where readcard.ini lies (the host's); libraryDirectory: where
// the library and so the driver host lie. Both end in their separator.
std::vector<IsolationFinding> CheckIsolation(const std::string& directory,
                                             const std::string& libraryDirectory);

}  // namespace cardhost
