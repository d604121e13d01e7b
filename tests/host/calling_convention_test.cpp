// Every export is called exactly as a host in any language calls it: the
// arguments pushed right to left, the callee removing them. A host written in
// Delphi or PowerBuilder crashes at once when an export removes one argument
// too many or too few, so the stack pointer must be the same after the call.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "pe_image.h"
#include "stdcall_probe.h"

namespace {

struct ExportCall {
  const char* name;
  std::vector<uint32_t> args;
  bool checkResult;
  int32_t expected;
};

uint32_t Address(const void* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

TEST(CallingConvention, EveryExportRemovesExactlyItsArguments) {
  HMODULE module = LoadLibraryA((host::ProgramDirectory() + "readcard.dll").c_str());
  ASSERT_NE(module, nullptr);

  char* first = nullptr;
  char* second = nullptr;
  int32_t status = 5;
  static const char track[] = "123456780000123456=009633791987654321";
  const ExportCall calls[] = {
      {"QTZ_DLL_BBH", {}, true, 86},
      {"QTZ_DKH", {1, 2, 3, 4, Address(&first), Address(&second)}, false, 0},
      {"QTZ_ErrorString", {1, 2, 3}, true, 0},
      {"QTZ_FindWindow2", {1}, true, 0},
      {"CK_DKH", {1, 2, Address(track), Address(&first)}, false, 0},
      {"QTZ_HSXK", {1, 2, 3, 4, 5, 6}, true, 0},
      {"QTZ_YKT_JK_SD", {}, true, 0},
      {"SBK_YKT_ICGETINFO", {1, 2, Address(&first), Address(&status)}, false, 0},
      {"SBK_YKT_ICPURCHASE", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, true, 0},
      {"SBK_YKT_ICTRANSLOG", {1, 2, 3}, true, 0},
  };
  for (const ExportCall& call : calls) {
    FARPROC function = GetProcAddress(module, call.name);
    ASSERT_NE(function, nullptr) << call.name;
    for (int repeat = 0; repeat < 2; ++repeat) {
      int32_t stackDelta = 12345;
      int32_t result = CallMeasuringStack(reinterpret_cast<const void*>(function), call.args.data(),
                                          static_cast<int32_t>(call.args.size()), &stackDelta);
      EXPECT_EQ(stackDelta, 0) << call.name << " with " << call.args.size()
                               << " arguments moved the stack pointer";
      if (call.checkResult)
        EXPECT_EQ(result, call.expected) << call.name;
      else
        EXPECT_TRUE(result == 0 || result == -1) << call.name << " " << result;
    }
  }
  FreeLibrary(module);
}

TEST(CallingConvention, TheProbeNoticesAWrongArgumentCount) {
  // Guards the probe itself: calling a one-argument export with two arguments
  // must leave four bytes on the stack.
  HMODULE module = LoadLibraryA((host::ProgramDirectory() + "readcard.dll").c_str());
  ASSERT_NE(module, nullptr);
  const uint32_t args[] = {1, 2};
  int32_t stackDelta = 0;
  CallMeasuringStack(reinterpret_cast<const void*>(GetProcAddress(module, "QTZ_FindWindow2")), args,
                     2, &stackDelta);
  EXPECT_EQ(stackDelta, -4);
  FreeLibrary(module);
}

}  // namespace
