#include <stdlib.h>

#include <string>

#include "tests/support/environment.h"

namespace testing_support {

// The C runtime's copy and the process's own block both change, so programs
// started afterwards see it too. "NAME=" removes the variable.
void SetVariable(const char* name, const char* value) {
  _putenv((std::string(name) + "=" + (value != nullptr ? value : "")).c_str());
}

}  // namespace testing_support
