#include "driver/guarded_call.h"

namespace driver {

// Natively and on x64 Windows a plain call: one calling convention, so no
// stack to repair, and no handler chain to join for the length of the call
// (a fault the driver raises and does not handle ends the host, as it would
// without this library). What these builds keep of the guard is the record
// area (driver/record_area.h): a driver writing past the record lands in
// slack or faults at the page after it, never in the library's data. Hosts
// that need the full protection run the driver in the driver host
// (isolation=process), the 64-bit library's default.
CallOutcome CallGuarded(FunctionAddress function, int32_t mode, char* record) {
  using Function = int32_t (*)(int32_t, char*);
  CallOutcome outcome;
  outcome.result = reinterpret_cast<Function>(function)(mode, record);
  return outcome;
}

}  // namespace driver
