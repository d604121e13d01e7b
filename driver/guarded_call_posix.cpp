#include "driver/guarded_call.h"

namespace driver {

// One calling convention and no structured exceptions: a plain call.
CallOutcome CallGuarded(FunctionAddress function, int32_t mode, char* record) {
  using Function = int32_t (*)(int32_t, char*);
  CallOutcome outcome;
  outcome.result = reinterpret_cast<Function>(function)(mode, record);
  return outcome;
}

}  // namespace driver
