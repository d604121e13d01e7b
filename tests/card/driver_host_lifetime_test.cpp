// The driver host lives no longer than the library that started it: it ends
// when the host frees readcard.dll, and when the host process is ended
// abruptly, with nothing done at unload but closing the pipe.
#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <windows.h>

#include <vector>

#include "ic_card_cases.h"
#include "pe_image.h"
#include "tests/support/child_process.h"

namespace {

using CardNumberExport = int32_t(__stdcall*)(int32_t, int32_t, int32_t, int32_t, char**, char**);

// The IDs of the driver hosts that process parent started.
std::vector<DWORD> DriverHostsOf(DWORD parent) {
  std::vector<DWORD> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID == parent &&
        lstrcmpiA(entry.szExeFile, "readcard-driverhost.exe") == 0) {
      found.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return found;
}

// The driver host of parent, waited for up to ten seconds; null if none.
HANDLE OpenDriverHostOf(DWORD parent) {
  for (int i = 0; i < 200; ++i) {
    const std::vector<DWORD> hosts = DriverHostsOf(parent);
    if (hosts.size() == 1) {
      return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, hosts[0]);
    }
    Sleep(50);
  }
  return nullptr;
}

class DriverHostLifetime : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.UseIsolation(iccard::Isolation::kProcess);
    host_.SetDriverAnswer(0, "a|b|c");
  }
  iccard::HostDirectory host_{host::ProgramDirectory(), '\\'};
};

TEST_F(DriverHostLifetime, EndsWhenTheLibraryIsFreed) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    HMODULE library = LoadLibraryA((host::ProgramDirectory() + "readcard.dll").c_str());
    ASSERT_NE(library, nullptr);
    auto read = reinterpret_cast<CardNumberExport>(
        reinterpret_cast<void*>(GetProcAddress(library, "QTZ_DKH")));
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(DriverHostsOf(GetCurrentProcessId()).empty()) << "started on first use only";
    char* number = nullptr;
    char* copy = nullptr;
    ASSERT_EQ(read(0, 0, 0, 0, &number, &copy), 0);
    EXPECT_STREQ(number, "c");
    HANDLE driverHost = OpenDriverHostOf(GetCurrentProcessId());
    ASSERT_NE(driverHost, nullptr);
    // Kept while the library is loaded: the second read uses the same one.
    ASSERT_EQ(read(0, 0, 0, 0, &number, &copy), 0);
    EXPECT_EQ(DriverHostsOf(GetCurrentProcessId()).size(), 1u);
    EXPECT_EQ(WaitForSingleObject(driverHost, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    BOOL inJob = FALSE;
    EXPECT_TRUE(IsProcessInJob(driverHost, nullptr, &inJob) && inJob)
        << "in the job that ends it with the host, even while it starts";

    const DWORD before = GetTickCount();
    FreeLibrary(library);
    EXPECT_LT(GetTickCount() - before, 1000u) << "the unload waits for nothing";
    EXPECT_EQ(WaitForSingleObject(driverHost, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(driverHost, &code);
    EXPECT_EQ(code, 0u) << "it ended by itself, on its closed pipe";
    CloseHandle(driverHost);
  }
}

// The driver host idle (its pipe closes with the host) and stuck in a hung
// driver (its watch on the host's process ends it).
TEST_F(DriverHostLifetime, EndsWhenTheHostIsEndedAbruptly) {
  for (const char* delay : {static_cast<const char*>(nullptr), "60000"}) {
    SCOPED_TRACE(delay != nullptr ? "in a hung driver" : "idle");
    host_.SetDriverSetting("SIMCARD_DELAY_MS", delay);
    const std::string directory = host::ProgramDirectory();
    testing_support::ChildProcess::Options inItsDirectory;
    inItsDirectory.directory = directory;
    testing_support::ChildProcess isolatedHost(directory + "isolated_host.exe", {}, inItsDirectory);
    ASSERT_TRUE(isolatedHost.started());
    HANDLE driverHost = OpenDriverHostOf(isolatedHost.id());
    EXPECT_NE(driverHost, nullptr);
    isolatedHost.Kill();
    if (driverHost == nullptr) continue;
    EXPECT_EQ(WaitForSingleObject(driverHost, 10000), WAIT_OBJECT_0);
    CloseHandle(driverHost);
  }
}

}  // namespace
