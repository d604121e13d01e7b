#include "driver/driver_fault.h"

#include <cstdio>

namespace driver {

namespace {

struct FaultName {
  uint32_t code;
  const char* name;
};

// Faults of the processor that leave the calling thread able to go on once
// the driver's frames are abandoned. A stack overflow is not one of them:
// the thread's guard page is used up by then.
constexpr FaultName kFaultNames[] = {
    {0xC0000005u, "access violation"},
    {0xC000001Du, "illegal instruction"},
    {0xC0000094u, "integer divide by zero"},
    {0xC0000096u, "privileged instruction"},
};

const char* NameOf(uint32_t code) {
  for (const FaultName& fault : kFaultNames) {
    if (fault.code == code) return fault.name;
  }
  return nullptr;
}

}  // namespace

bool IsDriverFault(uint32_t code) { return NameOf(code) != nullptr; }

std::string DescribeFault(const DriverFault& fault) {
  const char* name = NameOf(fault.code);
  char text[64];
  std::snprintf(text, sizeof text, "0x%08lX %s", static_cast<unsigned long>(fault.code),
                name != nullptr ? name : "exception");
  if (!fault.module.empty()) return std::string(text) + " in " + fault.module;
  char address[32];
  std::snprintf(address, sizeof address, " at 0x%08llX",
                static_cast<unsigned long long>(fault.address));
  return text + std::string(address);
}

}  // namespace driver
