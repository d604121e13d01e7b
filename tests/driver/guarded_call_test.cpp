// The guarded driver call and the driver's record area: a driver function
// called through them answers as before; on Windows a faulting or __cdecl
// driver leaves the calling thread as it was.
#include "driver/guarded_call.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/card_driver.h"
#include "driver/record_area.h"
#include "tests/support/environment.h"
#include "host/host_directory.h"

#ifdef _WIN32
#include <windows.h>

#include "driver/guard_thunk_i686.h"
#include "stdcall_probe.h"
#endif

namespace {

using driver::RecordArea;

int32_t DRIVER_CALL Echo(int32_t mode, char* record) {
  std::snprintf(record, 16, "mode %d", static_cast<int>(mode));
  return mode * 2;
}

TEST(GuardedCall, PassesTheArgumentsAndTheResult) {
  char record[16] = {};
  const driver::CallOutcome outcome =
      driver::CallGuarded(reinterpret_cast<driver::FunctionAddress>(&Echo), 21, record);
  EXPECT_EQ(outcome.result, 42);
  EXPECT_FALSE(outcome.fault);
  EXPECT_STREQ(record, "mode 21");
}

TEST(RecordArea, HoldsTheRecordAndItsSlackAndNotOneByteMore) {
  RecordArea area;
  ASSERT_NE(area.data(), nullptr);
  ASSERT_GE(area.slack(), RecordArea::kMinimumSlack);
  const std::size_t end = RecordArea::kSize + area.slack();
  std::memset(area.data(), 'x', end);  // all of it is writable
  EXPECT_EQ(area.data()[end - 1], 'x');
#ifdef _WIN32
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  EXPECT_EQ(end, RecordArea::WritableSize(system.dwPageSize));
  MEMORY_BASIC_INFORMATION writable = {};
  ASSERT_NE(VirtualQuery(area.data(), &writable, sizeof writable), 0u);
  EXPECT_EQ(writable.Protect, static_cast<DWORD>(PAGE_READWRITE));
  EXPECT_GE(writable.RegionSize, end);
  MEMORY_BASIC_INFORMATION after = {};
  ASSERT_NE(VirtualQuery(area.data() + end, &after, sizeof after), 0u);
  EXPECT_EQ(after.Protect, static_cast<DWORD>(PAGE_NOACCESS));
#else
  // The first byte past the slack stops the program at once.
  EXPECT_DEATH(static_cast<volatile char*>(area.data())[end] = 'x', "");
#endif
}

TEST(RecordArea, SlackIsAtLeast15KiBForEveryPageSize) {
  for (std::size_t page : {4096u, 8192u, 16384u, 65536u}) {
    SCOPED_TRACE(page);
    const std::size_t writable = RecordArea::WritableSize(page);
    EXPECT_EQ(writable % page, 0u);
    EXPECT_GE(writable, RecordArea::kSize + RecordArea::kMinimumSlack);
    EXPECT_LT(writable - page, RecordArea::kSize + RecordArea::kMinimumSlack)
        << "no whole page more than needed";
  }
  EXPECT_EQ(RecordArea::kMinimumSlack, 15u * 1024);
}

#ifdef _WIN32

using testing_support::SetVariable;

// The head of this thread's chain of exception handler registrations.
void* HandlerChain() {
  void* head = nullptr;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}

uint16_t FpuControl() {
  uint16_t control = 0;
  asm volatile("fnstcw %0" : "=m"(control));
  return control;
}

void SetFpuControl(uint16_t control) { asm volatile("fldcw %0" : : "m"(control)); }

int32_t __cdecl EchoCdecl(int32_t mode, char* record) { return Echo(mode, record); }

uint32_t Address(const void* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// Measured at the thunk itself, since the compiler may or may not lay out a
// caller so that 8 bytes left on the stack would hurt it.
TEST(GuardThunk, LeavesTheStackAsItFoundItWhateverTheConvention) {
  const void* functions[] = {reinterpret_cast<const void*>(&Echo),
                             reinterpret_cast<const void*>(&EchoCdecl)};
  for (const void* function : functions) {
    driver::GuardFrame frame = {};
    char record[16] = {};
    const uint32_t args[] = {Address(&frame), Address(function), 21, Address(record)};
    int32_t stackDelta = 12345;
    EXPECT_EQ(CallMeasuringStack(reinterpret_cast<const void*>(&readcard_call_guarded), args, 4,
                                 &stackDelta),
              42);
    // The thunk is __cdecl: its own 16 bytes of arguments stay for its
    // caller to remove, and nothing else.
    EXPECT_EQ(stackDelta, -16);
    EXPECT_STREQ(record, "mode 21");
    EXPECT_EQ(frame.faulted, 0u);
  }
}

class GuardedDriverCall : public testing::Test {
 protected:
  void SetUp() override { SetVariable("SIMCARD_FAULT", nullptr); }
  void TearDown() override { SetVariable("SIMCARD_FAULT", nullptr); }

  static std::string Driver(const char* file) { return host::HostDirectory() + file; }
};

TEST_F(GuardedDriverCall, EachFaultEndsTheCallAndTheThreadGoesOn) {
  struct Case {
    const char* mode;
    uint32_t code;
  };
  const Case cases[] = {
      {"access", 0xC0000005u},     {"illegal", 0xC000001Du}, {"divide", 0xC0000094u},
      {"privileged", 0xC0000096u}, {"overrun", 0xC0000005u},
  };
  const uint16_t normalControl = FpuControl();
  // Rounding toward zero, so that the check below sees whether the thread's
  // own control word comes back after the fault.
  const uint16_t ownControl = normalControl ^ 0x0C00;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    driver::DynamicLibrary library;
    ASSERT_TRUE(library.Load(Driver("SSCardDriver.dll")));
    RecordArea area;
    ASSERT_NE(area.data(), nullptr);
    std::strcpy(area.data(), "earlier record");
    SetVariable("SIMCARD_FAULT", c.mode);
    void* const chain = HandlerChain();
    SetFpuControl(ownControl);
    const driver::CallOutcome outcome = driver::ReadCardBasic(library, area.data());
    const uint16_t controlAfter = FpuControl();
    SetFpuControl(normalControl);
    SetVariable("SIMCARD_FAULT", nullptr);

    ASSERT_TRUE(outcome.fault);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(outcome.fault->code, c.code);
    EXPECT_EQ(outcome.fault->module, "SSCardDriver.dll");
    HMODULE faulting = nullptr;
    EXPECT_TRUE(GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(outcome.fault->address), &faulting));
    EXPECT_EQ(faulting, library.module);
    EXPECT_EQ(HandlerChain(), chain) << "the guard's registration is gone";
    EXPECT_EQ(controlAfter, ownControl);
    if (std::string(c.mode) == "overrun") {
      // Everything up to the end of the slack was written, and the first
      // byte past it faulted.
      for (std::size_t i = 0; i < RecordArea::kSize + area.slack(); ++i) {
        ASSERT_EQ(area.data()[i], static_cast<char>('0' + i % 10)) << i;
      }
    } else {
      EXPECT_STREQ(area.data(), "earlier record");
    }
    // The same driver, loaded and called again, answers.
    const driver::CallOutcome next = driver::ReadCardBasic(library, area.data());
    EXPECT_FALSE(next.fault);
    EXPECT_EQ(next.result, 0);
  }
}

TEST_F(GuardedDriverCall, ACdeclDriverAnswersLikeTheStdcallOne) {
  char stdcallRecord[1024] = {};
  char cdeclRecord[1024] = {};
  driver::DynamicLibrary stdcallDriver;
  driver::DynamicLibrary cdeclDriver;
  ASSERT_TRUE(stdcallDriver.Load(Driver("SSCardDriver.dll")));
  ASSERT_TRUE(cdeclDriver.Load(Driver("SSCardDriverCdecl.dll")));
  // Without the guard every call would leave the stack 8 bytes lower.
  for (int call = 0; call < 20; ++call) {
    ASSERT_EQ(driver::ReadCardBasic(stdcallDriver, stdcallRecord).result, 0);
    ASSERT_EQ(driver::ReadCardBasic(cdeclDriver, cdeclRecord).result, 0);
  }
  EXPECT_STREQ(cdeclRecord, stdcallRecord);
  EXPECT_GT(std::strlen(cdeclRecord), 100u);
}

#endif  // _WIN32

}  // namespace
