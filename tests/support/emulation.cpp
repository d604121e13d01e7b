#include "tests/support/emulation.h"

#include <cstdlib>
#include <cstring>

namespace testing_support {

bool EnvironmentFlag(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && std::strcmp(value, "1") == 0;
}

bool RunningEmulated() { return EnvironmentFlag("READCARD_EMULATED"); }

int RepeatCount(int native, int emulated) { return RunningEmulated() ? emulated : native; }

}  // namespace testing_support
