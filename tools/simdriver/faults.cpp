#include "tools/simdriver/faults.h"

#include <cstdint>

#include "tools/simdriver/pause.h"
#include "tools/simdriver/process_faults.h"

namespace simdriver {

namespace {

// Each frame keeps a page of its own that the compiler cannot drop, and the
// call is not in tail position, so the recursion uses up any stack.
int Recurse(int depth) {
  volatile char frame[4096];
  frame[0] = static_cast<char>(depth);
  if (depth == -1) return 0;  // never: the depth only grows
  return Recurse(depth + 1) + frame[0];
}

}  // namespace

void CommitFault(Fault fault) {
  // volatile: the compiler must neither know the values nor drop the
  // accesses (a store it can prove to go to address 0 becomes a trap).
  switch (fault) {
    case Fault::kAccessViolation: {
      volatile uintptr_t address = 16;
      *reinterpret_cast<volatile int32_t*>(address) = 1;
      break;
    }
    case Fault::kIllegalInstruction:
      __builtin_trap();
    case Fault::kDivideByZero: {
      // Neither operand known: 1 / x, say, compiles to a comparison.
      volatile int32_t dividend = 1000;
      volatile int32_t zero = 0;
      volatile int32_t quotient = dividend / zero;
      (void)quotient;
      break;
    }
    case Fault::kPrivilegedInstruction:
#if defined(__i386__) || defined(__x86_64__)
      asm volatile("cli");  // only the system may turn interrupts off
#endif
      break;
    case Fault::kHang:
      for (;;) Pause(60 * 1000);
    case Fault::kStackOverflow:
      Recurse(0);
      break;
    case Fault::kExit:
      EndProcess(7);
    case Fault::kUncaughtException:
      ThrowUncaught();
    case Fault::kNone:
    case Fault::kOverrun:
      break;
  }
}

}  // namespace simdriver
