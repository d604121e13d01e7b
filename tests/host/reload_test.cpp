// A host that loads and frees readcard.dll around every call, as some hosts
// do, must be able to go on doing so for as long as it runs: each FreeLibrary
// really unloads the library and gives back all it took.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pe_image.h"
#include "process_resources.h"

namespace {

using NoArgs = int32_t(__stdcall*)();
using MagneticCardExport = int32_t(__stdcall*)(int32_t, int32_t, const char*, char**);

// A track whose card number field holds no digits: CK_DKH raises inside,
// catches it and writes a failure record, so one call takes the library
// through its exception handling, its logger and its log file.
const char kUnreadableTrack[] = "12345678ABCDEFGHIJ=009633791987654321";

std::string LibraryPath() { return host::ProgramDirectory() + "readcard.dll"; }

// One host call: load, ask the version, read a bad track, free. Empty when
// all went as it should, else what went wrong.
std::string LoadCallAndFree() {
  HMODULE module = LoadLibraryA(LibraryPath().c_str());
  if (module == nullptr) return "LoadLibrary failed, error " + std::to_string(GetLastError());
  auto version = reinterpret_cast<NoArgs>(
      reinterpret_cast<void*>(GetProcAddress(module, "QTZ_DLL_BBH")));
  auto magnetic = reinterpret_cast<MagneticCardExport>(
      reinterpret_cast<void*>(GetProcAddress(module, "CK_DKH")));
  std::string failure;
  char* number = nullptr;
  if (version == nullptr || magnetic == nullptr) {
    failure = "exports missing";
  } else if (version() != 86) {
    failure = "QTZ_DLL_BBH did not answer 86";
  } else if (magnetic(0, 0, kUnreadableTrack, &number) != -1) {
    failure = "CK_DKH accepted an unreadable track";
  }
  FreeLibrary(module);
  if (failure.empty() && GetModuleHandleA("readcard.dll") != nullptr) {
    failure = "readcard.dll is still loaded after FreeLibrary";
  }
  return failure;
}

// Under emulation (READCARD_EMULATED=1) every cycle is some ten times
// slower; natively the full count runs.
int CycleCount() {
  const char* emulated = std::getenv("READCARD_EMULATED");
  return emulated != nullptr && std::string(emulated) == "1" ? 1000 : 10000;
}

TEST(Reload, LoadingAndFreeingTheLibraryLeavesNothingBehind) {
  ASSERT_EQ(GetModuleHandleA("readcard.dll"), nullptr);
  // The first cycles may take what the system keeps for the process
  // (the C runtime's and the loader's own structures).
  for (int cycle = 0; cycle < 20; ++cycle) ASSERT_EQ(LoadCallAndFree(), "");
  const uint32_t tlsBefore = host::NextFreeTlsIndex();
  const long handlesBefore = host::HandleCount();
  const std::size_t heapBefore = host::HeapBytesInUse();

  const int cycles = CycleCount();
  for (int cycle = 0; cycle < cycles; ++cycle) {
    ASSERT_EQ(LoadCallAndFree(), "") << "cycle " << cycle;
  }

  const uint32_t tlsAfter = host::NextFreeTlsIndex();
  const long handlesAfter = host::HandleCount();
  const std::size_t heapAfter = host::HeapBytesInUse();
  std::printf("%d cycles: next TLS index %u -> %u, handles %ld -> %ld, heap bytes %zu -> %zu\n",
              cycles, tlsBefore, tlsAfter, handlesBefore, handlesAfter, heapBefore, heapAfter);
  EXPECT_EQ(tlsAfter, tlsBefore);
  EXPECT_EQ(handlesAfter, handlesBefore);
  EXPECT_LE(heapAfter, heapBefore + 4096);
}

}  // namespace
