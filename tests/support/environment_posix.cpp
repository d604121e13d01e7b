#include <stdlib.h>

#include "tests/support/environment.h"

namespace testing_support {

void SetVariable(const char* name, const char* value) {
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace testing_support
