#pragma once
// A fault that the card driver raised while the library was calling it: the
// processor's exception, where it happened, and how the log names it.
#include <cstdint>
#include <string>

namespace driver {

struct DriverFault {
  uint32_t code = 0;      // the Windows exception code, e.g. 0xC0000005
  uintptr_t address = 0;  // the instruction that faulted
  std::string module;     // file name of the module holding it; "" for none
};

// True for the exceptions that the guarded driver call catches: access
// violation, illegal instruction, integer divide by zero and privileged
// instruction. Safe to call while an exception is being dispatched.
bool IsDriverFault(uint32_t code);

// "0xC0000005 access violation in SSCardDriver.dll"; "... at 0x00000000"
// when the address lies in no module.
std::string DescribeFault(const DriverFault& fault);

}  // namespace driver
