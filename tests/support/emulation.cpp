#include "tests/support/emulation.h"

#include <cstdlib>
#include <cstring>

namespace testing_support {

bool RunningEmulated() {
  const char* value = std::getenv("READCARD_EMULATED");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

int RepeatCount(int native, int emulated) { return RunningEmulated() ? emulated : native; }

}  // namespace testing_support
