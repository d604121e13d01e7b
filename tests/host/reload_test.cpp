// A host that loads and frees readcard.dll around every call, as some hosts
// do, must be able to go on doing so for as long as it runs: each FreeLibrary
// really unloads the library and gives back all it took.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "pe_image.h"
#include "process_resources.h"
#include "tests/support/day_log.h"
#include "tests/support/emulation.h"
#include "tests/support/files.h"

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
  auto version =
      reinterpret_cast<NoArgs>(reinterpret_cast<void*>(GetProcAddress(module, "QTZ_DLL_BBH")));
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

// Natively (Windows, or Wine on a machine that runs 32-bit code) 10,000
// cycles. In an emulated machine (READCARD_EMULATED=1) a cycle takes about a
// second, so 50 cycles: one index or handle kept per cycle, or a few bytes of
// memory, still shows. (--gtest_repeat runs more cycles in one process.)
int CycleCount() { return testing_support::RepeatCount(10000, 50); }

TEST(Reload, LoadingAndFreeingTheLibraryLeavesNothingBehind) {
  ASSERT_EQ(GetModuleHandleA("readcard.dll"), nullptr);
  // The first cycles may take what the system keeps for the process
  // (the C runtime's and the loader's own structures).
  for (int cycle = 0; cycle < 5; ++cycle) ASSERT_EQ(LoadCallAndFree(), "");
  const uint32_t tlsBefore = host::NextFreeTlsIndex();
  const long handlesBefore = host::HandleCount();
  const std::size_t heapBefore = host::HeapBytesInUse();
  ASSERT_GT(handlesBefore, 0) << "the process's handles cannot be counted";

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
  // The system's own bookkeeping may move a little; 100 bytes kept per
  // cycle would not fit. (Under heap checking a run of its own makes it.)
  if (host::HeapBytesAreExact()) {
    EXPECT_LE(heapAfter, heapBefore + 4096);
  }
}

std::string DayLogPath() { return testing_support::DayLogPath(host::ProgramDirectory(), '\\'); }

// The record that LoadCallAndFree leaves.
const char kParseFailure[] = "读卡内容解析异常： invalid stol argument";

// While loaded, the library holds its log file open (without letting it be
// renamed under it); FreeLibrary closes it.
TEST(Reload, FreeLibraryClosesTheLogFile) {
  const std::string log = DayLogPath();
  const std::string moved = log + ".moved";
  HMODULE module = LoadLibraryA(LibraryPath().c_str());
  ASSERT_NE(module, nullptr);
  ASSERT_TRUE(testing_support::IsFile(log));
  const bool movedWhileLoaded = MoveFileA(log.c_str(), moved.c_str()) != FALSE;
  if (movedWhileLoaded) MoveFileA(moved.c_str(), log.c_str());
  EXPECT_FALSE(movedWhileLoaded) << "the loaded library does not hold its log open";
  FreeLibrary(module);

  ASSERT_TRUE(MoveFileA(log.c_str(), moved.c_str()))
      << "the log is still open after FreeLibrary, error " << GetLastError();
  ASSERT_TRUE(MoveFileA(moved.c_str(), log.c_str()));
}

// Sets the time zone of the C runtime that this program and the library
// share: POSIX style, "XXX+12" being 12 hours behind UTC.
void SetTimeZone(const char* zone) {
  const std::string setting = std::string("TZ=") + zone;
  _putenv(setting.c_str());
  _tzset();
}

class TimeZoneShift : public ::testing::Test {
 protected:
  void TearDown() override { SetTimeZone(""); }
};

// A host that frees the library and loads it again on another day writes
// that day's file: the date is taken at each load. The days come from the
// time zone: 12 hours behind UTC, then 13 hours ahead, always another date.
TEST_F(TimeZoneShift, ALaterLoadWritesTheFileOfItsOwnDay) {
  struct Load {
    const char* zone;
    std::string path;
    bool existed;
    std::vector<std::string> messages;
  } loads[] = {{"AAA+12", "", false, {}}, {"BBB-13", "", false, {}}};
  for (Load& load : loads) {
    SetTimeZone(load.zone);
    load.path = DayLogPath();
    load.existed = testing_support::IsFile(load.path);
    testing_support::LogWatch watch(load.path);
    ASSERT_EQ(LoadCallAndFree(), "") << load.zone;
    load.messages = watch.NewMessages();
  }
  SetTimeZone("");
  ASSERT_NE(loads[0].path, loads[1].path) << "the time zones gave the same date";
  for (const Load& load : loads) {
    EXPECT_EQ(load.messages, std::vector<std::string>{kParseFailure})
        << "the load under " << load.zone << " did not write " << load.path;
    if (!load.existed) DeleteFileA(load.path.c_str());  // a day of its own
  }
}

}  // namespace
