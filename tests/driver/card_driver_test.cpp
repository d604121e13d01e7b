// The binding over the simulated card driver (tools/simdriver): the real
// SSCardDriver.dll under Wine, its shared-object twin natively.
#include "driver/card_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "tests/support/emulation.h"
#include "tests/support/environment.h"
#include "tests/support/library_call.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/stdout_capture.h"
#include "host/host_directory.h"
#include "text/split.h"

#ifdef _WIN32
#include <windows.h>

#include "stdcall_probe.h"
#else
#include <dlfcn.h>
#endif

namespace {

using testing_support::ScratchDirectory;

#ifdef _WIN32
const char kNoReadDriverFile[] = "SSCardDriverNoRead.dll";
#else
const char kNoReadDriverFile[] = "libSSCardDriverNoRead.so";
#endif

// Where the build put the simulated drivers.
std::string DriverDirectory() {
#ifdef SIMDRIVER_DIRECTORY
  return SIMDRIVER_DIRECTORY;
#else
  return host::HostDirectory();  // beside the test program
#endif
}

std::string DriverPath() { return DriverDirectory() + driver::kCardDriverFile; }
std::string NoReadDriverPath() { return DriverDirectory() + kNoReadDriverFile; }

// Whether the library at path is loaded in this process.
bool IsLoaded(const std::string& path) {
#ifdef _WIN32
  return GetModuleHandleA(path.c_str()) != nullptr;
#else
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
#endif
}

using testing_support::SetVariable;

// Counts the platform operations on their way to the system.
struct Counts {
  int loads = 0, finds = 0, releases = 0;
};
Counts g_counts;

driver::ModuleHandle CountedLoad(const char* path) {
  ++g_counts.loads;
  return driver::PlatformLibraryLoader().load(path);
}
driver::FunctionAddress CountedFind(driver::ModuleHandle module, const char* name) {
  ++g_counts.finds;
  return driver::PlatformLibraryLoader().find(module, name);
}
bool CountedRelease(driver::ModuleHandle module) {
  ++g_counts.releases;
  return driver::PlatformLibraryLoader().release(module);
}
const driver::LibraryLoader kCountingLoader = {CountedLoad, CountedFind, CountedRelease};

const char* const kDriverVariables[] = {"SIMCARD_RESULT",  "SIMCARD_RECORD", "SIMCARD_NOWRITE",
                                        "SIMCARD_FILL",    "SIMCARD_FAULT",  "SIMCARD_OVERRUN",
                                        "SIMCARD_DELAY_MS"};

class CardDriverTest : public testing::Test {
 protected:
  void SetUp() override {
    g_counts = Counts();
    for (const char* name : kDriverVariables) SetVariable(name, nullptr);
  }
  void TearDown() override {
    for (const char* name : kDriverVariables) SetVariable(name, nullptr);
  }

  // Reads the card once through the driver at path; record is the buffer.
  int32_t ReadCard(const std::string& path, char* record) {
    driver::DynamicLibrary library;
    if (!library.Load(path)) throw std::runtime_error("cannot load " + path);
    return driver::ReadCardBasic(library, record).result;
  }
};

TEST_F(CardDriverTest, TwoCallsOfOneNameAskTheSystemOnce) {
  char record[1024] = {};
  {
    driver::DynamicLibrary library(kCountingLoader);
    ASSERT_TRUE(library.Load(DriverPath()));
    EXPECT_EQ(driver::ReadCardBasic(library, record).result, 0);
    EXPECT_EQ(driver::ReadCardBasic(library, record).result, 0);
    EXPECT_EQ(g_counts.finds, 1);
    EXPECT_EQ(library.functions.count(driver::kReadCardFunction), 1u);
  }
  EXPECT_EQ(g_counts.releases, 1);
  EXPECT_FALSE(IsLoaded(DriverPath()));
}

// As an export uses the binding: the error leaves the scope that owns it.
void ReadThroughDriverWithoutTheFunction(const std::string& path) {
  driver::DynamicLibrary library(kCountingLoader);
  if (!library.Load(path)) throw std::logic_error("not loaded");
  EXPECT_TRUE(IsLoaded(path));  // so that the check after the error bites
  char record[1024] = {};
  try {
    driver::ReadCardBasic(library, record);
  } catch (const std::exception&) {
    EXPECT_TRUE(library.functions.empty());
    EXPECT_NE(library.module, nullptr);
  }
  driver::ReadCardBasic(library, record);  // asks again, raises again
}

TEST_F(CardDriverTest, MissingFunctionRaisesAndTheDriverIsStillFreed) {
  const std::string path = NoReadDriverPath();
  try {
    ReadThroughDriverWithoutTheFunction(path);
    ADD_FAILURE() << "no error raised";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "can not find this function iReadCardBas");
  }
  EXPECT_EQ(g_counts.finds, 2);
  EXPECT_EQ(g_counts.releases, 1);
  EXPECT_FALSE(IsLoaded(path));
}

TEST_F(CardDriverTest, MissingFilePrintsOneLineAndFreesNothing) {
  ScratchDirectory directory;
  testing_support::StdoutCapture capture;
  {
    driver::DynamicLibrary library(kCountingLoader);
    EXPECT_FALSE(library.Load(directory.path() + driver::kCardDriverFile));
    EXPECT_EQ(library.module, nullptr);
  }
  EXPECT_EQ(capture.Finish(), std::string("LoadLibrary failed") + testing_support::kStdoutLineEnd);
  EXPECT_EQ(g_counts.loads, 1);
  EXPECT_EQ(g_counts.releases, 0);
}

TEST_F(CardDriverTest, DefaultRecordIsACardsBasicInformation) {
  char record[1024] = {};
  ASSERT_EQ(ReadCard(DriverPath(), record), 0);
  std::vector<std::string> fields = text::split(record, "|");
  ASSERT_GE(fields.size(), 8u) << record;
  EXPECT_EQ(fields[2], "A12345678");
  EXPECT_EQ(fields[4], "\xD5\xC5\xC8\xFD");  // 张三 in GBK
}

TEST_F(CardDriverTest, AnswersWhatTheEnvironmentChooses) {
  struct Choice {
    const char* result;
    const char* record;
    int32_t expectedResult;
  };
  const Choice choices[] = {
      {"5", "NOCARD", 5},
      {"-3", "a|b|c", -3},
      {nullptr, "A|B|C|D", 0},
  };
  for (const Choice& choice : choices) {
    SetVariable("SIMCARD_RESULT", choice.result);
    SetVariable("SIMCARD_RECORD", choice.record);
    char record[1024];
    std::memset(record, 'E', sizeof record);
    EXPECT_EQ(ReadCard(DriverPath(), record), choice.expectedResult) << choice.record;
    EXPECT_STREQ(record, choice.record);
  }
}

TEST_F(CardDriverTest, CanFailWithoutWritingTheBuffer) {
  SetVariable("SIMCARD_RESULT", "-3");
  SetVariable("SIMCARD_NOWRITE", "1");
  char record[1024] = "earlier record";
  EXPECT_EQ(ReadCard(DriverPath(), record), -3);
  EXPECT_STREQ(record, "earlier record");
}

TEST_F(CardDriverTest, WaitsAsLongAsAskedAndThenAnswers) {
  SetVariable("SIMCARD_RESULT", "-3");
  SetVariable("SIMCARD_RECORD", "NOCARD");
  SetVariable("SIMCARD_DELAY_MS", "300");
  char record[1024] = {};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReadCard(DriverPath(), record), -3);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_STREQ(record, "NOCARD");
}

TEST_F(CardDriverTest, FillsExactlyTheBytesAskedForWithoutNul) {
  char record[1024 + 16];
  for (int count : {10, 1024}) {
    SetVariable("SIMCARD_FILL", std::to_string(count).c_str());
    std::memset(record, 0, sizeof record);
    EXPECT_EQ(ReadCard(DriverPath(), record), 0);
    EXPECT_EQ(std::strlen(record), static_cast<size_t>(count));
    EXPECT_EQ(record[9], '9');
  }
}

TEST_F(CardDriverTest, NeverWritesBeyondTheRecordBuffer) {
  SetVariable("SIMCARD_RECORD", std::string(5000, 'x').c_str());
  char record[1024 + 16];
  std::memset(record, 'E', sizeof record);
  EXPECT_EQ(ReadCard(DriverPath(), record), 0);
  EXPECT_EQ(std::string(record), std::string(1023, 'x'));
  EXPECT_EQ(std::string(record + 1024, 16), std::string(16, 'E'));
}

// SIMCARD_OVERRUN=N: the record as usual, then N pattern bytes after the
// caller's 1024, and not one more.
TEST_F(CardDriverTest, OverrunWritesTheRecordAndExactlyTheBytesAskedForAfterIt) {
  struct Case {
    const char* value;
    std::size_t extra;
  };
  const Case cases[] = {{"0", 0}, {"1", 1}, {"1024", 1024}, {"3072", 3072}, {"-5", 0}};
  std::vector<char> buffer(1024 + 4096);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    SetVariable("SIMCARD_RECORD", "a|b|c");
    SetVariable("SIMCARD_OVERRUN", c.value);
    std::fill(buffer.begin(), buffer.end(), 'E');
    EXPECT_EQ(ReadCard(DriverPath(), buffer.data()), 0);
    EXPECT_STREQ(buffer.data(), "a|b|c");
    EXPECT_EQ(std::string(buffer.data() + 6, 1018), std::string(1018, 'E'))
        << "the record's own bytes after its NUL are left alone";
    for (std::size_t i = 0; i < c.extra; ++i) {
      ASSERT_EQ(buffer[1024 + i], static_cast<char>('0' + i % 10)) << i;
    }
    EXPECT_EQ(buffer[1024 + c.extra], 'E');
  }
}

TEST_F(CardDriverTest, SettingsFileBesideTheDriverComesFirst) {
  ScratchDirectory directory;
  const std::string path = directory.Copy(DriverPath(), driver::kCardDriverFile);
  SetVariable("SIMCARD_RESULT", "3");
  SetVariable("SIMCARD_RECORD", "from the environment");
  struct Settings {
    std::string text;
    int32_t result;
    std::string record;
  };
  const Settings settings[] = {
      {"-7\r\n张三|A|B\r\n", -7, "\xD5\xC5\xC8\xFD|A|B"},  // GBK bytes as they are
      {"0\nline one\nline two\n", 0, "line one\nline two"},
      {"0\n", 0, ""},
      {"12", 12, ""},
  };
  for (const Settings& setting : settings) {
    directory.Write("SSCardDriver.txt", setting.text);
    char record[1024];
    std::memset(record, 'E', sizeof record);
    EXPECT_EQ(ReadCard(path, record), setting.result) << setting.text;
    EXPECT_EQ(std::string(record), setting.record) << setting.text;
  }
}

TEST_F(CardDriverTest, RefusesAnotherMode) {
  driver::DynamicLibrary library;
  ASSERT_TRUE(library.Load(DriverPath()));
  char record[1024] = {};
  EXPECT_EQ(testing_support::CallFunction<int32_t>(library, driver::kReadCardFunction, int32_t{3},
                                                   record),
            -1);
  EXPECT_STREQ(record, "unsupported mode 3");
}

#ifdef _WIN32
// The card reads load and free the driver on every call, so a host that reads
// cards all day loads it thousands of times: each load must give back all it
// takes from the process (thread-local storage indexes run out after 1088).
TEST_F(CardDriverTest, ManyReadsTakeNothingFromTheProcess) {
  auto nextFreeTlsIndex = [] {
    DWORD index = TlsAlloc();
    TlsFree(index);
    return index;
  };
  const DWORD freeBefore = nextFreeTlsIndex();
  // More reads than the 1088 indexes natively; under emulation, where a load
  // takes most of a second, fewer: the index check below still catches a
  // load that keeps one.
  const int reads = testing_support::RepeatCount(1200, 40);
  for (int read = 0; read < reads; ++read) {
    char record[1024] = {};
    ASSERT_EQ(ReadCard(DriverPath(), record), 0) << "read " << read;
  }
  EXPECT_EQ(nextFreeTlsIndex(), freeBefore);
}
#endif

#ifdef _WIN32
// Callers that push the two arguments and leave them to the callee, as the
// library does, must find the stack as before.
TEST_F(CardDriverTest, DriverRemovesItsOwnArguments) {
  HMODULE module = LoadLibraryA(DriverPath().c_str());
  ASSERT_NE(module, nullptr);
  FARPROC function = GetProcAddress(module, driver::kReadCardFunction);
  ASSERT_NE(function, nullptr);
  char record[1024] = {};
  const uint32_t args[] = {4, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record))};
  int32_t stackDelta = -1;
  EXPECT_EQ(CallMeasuringStack(reinterpret_cast<const void*>(function), args, 2, &stackDelta), 0);
  EXPECT_EQ(stackDelta, 0);
  EXPECT_EQ(text::split(record, "|").size(), 11u);
  FreeLibrary(module);
}
#endif

}  // namespace
