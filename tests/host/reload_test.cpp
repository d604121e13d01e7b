// A host that loads and frees readcard.dll around every call, as some hosts
// do, must be able to go on doing so for as long as it runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

#include "pe_image.h"
#include "tests/support/emulation.h"

namespace {

using NoArgs = int32_t(__stdcall*)();

// The lowest free thread-local storage index of the process.
DWORD NextFreeTlsIndex() {
  DWORD index = TlsAlloc();
  TlsFree(index);
  return index;
}

TEST(Reload, LoadingAndFreeingTheLibraryManyTimesCostsNothing) {
  const std::string path = host::ProgramDirectory() + "readcard.dll";
  {  // the first load may take what the library keeps for the process
    HMODULE module = LoadLibraryA(path.c_str());
    ASSERT_NE(module, nullptr);
    FreeLibrary(module);
  }
  const DWORD freeBefore = NextFreeTlsIndex();
  // More loads than the 1088 indexes natively; under emulation, where a load
  // takes most of a second, fewer: the index check below still catches a
  // load that keeps one.
  const int calls = testing_support::RepeatCount(1200, 40);
  for (int call = 0; call < calls; ++call) {
    HMODULE module = LoadLibraryA(path.c_str());
    ASSERT_NE(module, nullptr) << "call " << call << ", error " << GetLastError();
    auto version = reinterpret_cast<NoArgs>(
        reinterpret_cast<void*>(GetProcAddress(module, "QTZ_DLL_BBH")));
    ASSERT_NE(version, nullptr);
    ASSERT_EQ(version(), 86) << "call " << call;
    FreeLibrary(module);
  }
  // The process's thread-local storage indexes run out after 1088.
  EXPECT_EQ(NextFreeTlsIndex(), freeBefore);
}

}  // namespace
