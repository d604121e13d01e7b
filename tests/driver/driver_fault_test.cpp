// How a driver fault is told in the log.
#include "driver/driver_fault.h"

#include <gtest/gtest.h>

namespace {

TEST(DriverFault, DescribesCodeNameAndModule) {
  struct Case {
    uint32_t code;
    uintptr_t address;
    const char* module;
    const char* text;
  };
  const Case cases[] = {
      {0xC0000005u, 0x10001234u, "SSCardDriver.dll",
       "0xC0000005 access violation in SSCardDriver.dll"},
      {0xC000001Du, 0x10001234u, "SSCardDriver.dll",
       "0xC000001D illegal instruction in SSCardDriver.dll"},
      {0xC0000094u, 0x7C801000u, "ReaderPort.dll",
       "0xC0000094 integer divide by zero in ReaderPort.dll"},
      {0xC0000096u, 0x10001234u, "SSCardDriver.dll",
       "0xC0000096 privileged instruction in SSCardDriver.dll"},
      // A jump to nowhere: no module to name, so the address stands there.
      {0xC0000005u, 0, "", "0xC0000005 access violation at 0x00000000"},
      {0xC0000005u, 0xDEADBEEFu, "", "0xC0000005 access violation at 0xDEADBEEF"},
      {0x80000003u, 0x10001234u, "x.dll", "0x80000003 exception in x.dll"},
  };
  for (const Case& c : cases) {
    driver::DriverFault fault;
    fault.code = c.code;
    fault.address = c.address;
    fault.module = c.module;
    EXPECT_EQ(driver::DescribeFault(fault), c.text);
  }
}

}  // namespace
