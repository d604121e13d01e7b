#include "isolation_cases.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

#include "tests/support/day_log.h"
#include "tests/support/files.h"
#include "tests/support/stdout_capture.h"
#include "tests/support/threads.h"

namespace iccard {

namespace {

using testing_support::LogWatch;

const std::string kEightFields = "a|b|c|d|e|f|g|h";
const std::string kEightFieldsLine = "a#h#2#c#01#b#e######d#";
const std::string kEnded = "读卡驱动进程意外结束： ";

#ifndef _WIN32
// How a fault the processor raised ends the driver host: by its signal, or,
// where the build runs under AddressSanitizer (which takes SIGSEGV and
// SIGFPE to report them), with the sanitizer's exit code.
std::string EndedBySignal(const char* signal) {
#ifdef __SANITIZE_ADDRESS__
  const std::string name = signal;
  if (name.find("SIGSEGV") != std::string::npos || name.find("SIGFPE") != std::string::npos) {
    return kEnded + "exit code 1";
  }
#endif
  return kEnded + signal;
}
#endif

// Both reads answered, so that all three buffers hold a known answer; the
// record buffer's address.
char* PrimeBuffers(const CardExports& exports, HostDirectory& host) {
  host.SetDriverAnswer(0, kEightFields);
  char* a = nullptr;
  char* b = nullptr;
  EXPECT_EQ(exports.readNumber(&a, &b), 0);
  char* line = nullptr;
  int32_t status = 0;
  EXPECT_EQ(exports.readInfo(&line, &status), 0);
  EXPECT_STREQ(line, kEightFieldsLine.c_str());
  return line;
}

// The host goes on reading cards: a fresh driver host answers.
void ExpectReadsWork(const CardExports& exports, HostDirectory& host) {
  host.SetDriverAnswer(0, "A|B|NEXT");
  char* a = nullptr;
  char* b = nullptr;
  EXPECT_EQ(exports.readNumber(&a, &b), 0);
  EXPECT_STREQ(a, "NEXT");
  host.SetDriverAnswer(0, kEightFields);
  char* line = nullptr;
  int32_t status = 4;
  EXPECT_EQ(exports.readInfo(&line, &status), 0);
  EXPECT_STREQ(line, kEightFieldsLine.c_str());
}

}  // namespace

void RunDriverHostFaultCases(const CardExports& exports, HostDirectory& host) {
  struct FaultCase {
    const char* mode;
    std::string message;
  };
  const FaultCase cases[] = {
      {"hang", "读卡动态库1秒内没有应答，已结束读卡驱动进程"},
      {"exit", kEnded + "exit code 7"},
#ifdef _WIN32
      {"stack", kEnded + "exception 0xC00000FD stack overflow"},
      {"throw", kEnded + "exception 0xE06D7363 uncaught C++ exception"},
      // The guard catches these in the driver host as in the host's process.
      {"access", "读卡函数调用异常： 0xC0000005 access violation in SSCardDriver.dll"},
#else
      {"stack", EndedBySignal("signal 11 (SIGSEGV)")},
      {"throw", EndedBySignal("signal 6 (SIGABRT)")},
      {"access", EndedBySignal("signal 11 (SIGSEGV)")},
      {"illegal", EndedBySignal("signal 4 (SIGILL)")},
      {"divide", EndedBySignal("signal 8 (SIGFPE)")},
      {"overrun", EndedBySignal("signal 11 (SIGSEGV)")},
#endif
  };
  host.WriteReadcardIni("[driver]\nisolation=process\ntimeout=1\n");
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.mode);
    char* recordBuffer = PrimeBuffers(exports, host);
    ASSERT_NE(recordBuffer, nullptr);
    host.SetDriverSetting("SIMCARD_FAULT", c.mode);
    char sentinel = 0;
    char* slotA = &sentinel;
    char* slotB = &sentinel;
    int32_t status = 5;
    LogWatch log(host.LogPath());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exports.readNumber(&slotA, &slotB), -1);
    EXPECT_EQ(exports.readInfo(&slotA, &status), -1);
    // Each lost read costs its timeout at most (and a moment to end the
    // driver host), a crash far less.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    host.SetDriverSetting("SIMCARD_FAULT", nullptr);
    EXPECT_EQ(log.NewMessages(), (std::vector<std::string>{c.message, c.message}));
    EXPECT_EQ(slotA, &sentinel);
    EXPECT_EQ(slotB, &sentinel);
    EXPECT_EQ(status, 0);
    // The driver faulted before writing, or its answer never came back:
    // the record buffer holds the line of before.
    EXPECT_STREQ(recordBuffer, kEightFieldsLine.c_str());
    ExpectReadsWork(exports, host);
  }
  host.RemoveReadcardIni();
}

void RunDriverHostMissingCases(const CardExports& exports, HostDirectory& host,
                               const std::string& driverHost) {
  const std::string aside = driverHost + ".aside";
  ASSERT_TRUE(testing_support::IsFile(driverHost)) << driverHost;
  struct MissingCase {
    const char* name;
    const char* replacement;  // nullptr: no file at all
    std::string message;
  };
  const MissingCase cases[] = {
      {"no driver host", nullptr, "找不到读卡驱动进程程序：" + driverHost},
#ifdef _WIN32
      {"not a program", "not a program", "无法启动读卡驱动进程：" + driverHost + " error 193"},
#else
      // Copied without its execute permission.
      {"not executable", "not a program", "无法启动读卡驱动进程：" + driverHost + " errno 13"},
#endif
  };
  host.UseIsolation(Isolation::kProcess);
  for (const MissingCase& c : cases) {
    SCOPED_TRACE(c.name);
    PrimeBuffers(exports, host);
    // A driver host that is running stays in use: end it first.
    host.SetDriverSetting("SIMCARD_FAULT", "exit");
    char* a = nullptr;
    char* b = nullptr;
    EXPECT_EQ(exports.readNumber(&a, &b), -1);
    host.SetDriverSetting("SIMCARD_FAULT", nullptr);
    ASSERT_EQ(std::rename(driverHost.c_str(), aside.c_str()), 0);
    if (c.replacement != nullptr) {
      ASSERT_TRUE(testing_support::WriteBytes(driverHost, c.replacement));
    }
    host.SetDriverAnswer(0, kEightFields);
    {
      // No fall back to reading in the host's process: IT asked for the
      // driver host.
      testing_support::StdoutCapture output;
      const auto start = std::chrono::steady_clock::now();
      char sentinel = 0;
      char* slotA = &sentinel;
      char* slotB = &sentinel;
      int32_t status = 5;
      LogWatch log(host.LogPath());
      EXPECT_EQ(exports.readNumber(&slotA, &slotB), -1);
      EXPECT_EQ(exports.readInfo(&slotA, &status), -1);
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "at once";
      EXPECT_EQ(log.NewMessages(), (std::vector<std::string>{c.message, c.message}));
      EXPECT_EQ(slotA, &sentinel);
      EXPECT_EQ(output.Finish(), "");
    }
    std::remove(driverHost.c_str());
    ASSERT_EQ(std::rename(aside.c_str(), driverHost.c_str()), 0);
    ExpectReadsWork(exports, host);
  }
  host.RemoveReadcardIni();
}

void RunReadcardIniCases(const CardExports& exports, HostDirectory& host) {
  struct IniCase {
    const char* name;
    const char* text;
    std::vector<std::string> messages;
  };
  const char* const kDefault =
#ifdef _WIN64
      "process";
#else
      "none";
#endif
  const IniCase cases[] = {
      {"process in capitals", "[driver]\nisolation = PROCESS\n", {}},
      {"None in mixed case", "[driver]\nisolation=None\ntimeout=600\n", {}},
      {"process, timeout 1", "[driver]\nisolation=process\ntimeout=1\n", {}},
      {"other sections are not read", "[other]\nisolation=sideways\n", {}},
      {"isolation misspelt",
       "[driver]\nisolation=proces\n",
       {std::string("readcard.ini设置有错误：[driver]isolation=proces，已按默认值") + kDefault +
        "处理"}},
      {"isolation empty",
       "[driver]\nisolation=\n",
       {std::string("readcard.ini设置有错误：[driver]isolation=，已按默认值") + kDefault + "处理"}},
      {"timeout 0",
       "[driver]\nisolation=process\ntimeout=0\n",
       {"readcard.ini设置有错误：[driver]timeout=0，已按默认值30处理"}},
      {"timeout 601",
       "[driver]\nisolation=process\ntimeout=601\n",
       {"readcard.ini设置有错误：[driver]timeout=601，已按默认值30处理"}},
      {"timeout in words",
       "[driver]\nisolation=process\ntimeout=三十\n",
       {"readcard.ini设置有错误：[driver]timeout=三十，已按默认值30处理"}},
      {"timeout signed",
       "[driver]\ntimeout=+5\n",
       {"readcard.ini设置有错误：[driver]timeout=+5，已按默认值30处理"}},
      {"both wrong",
       "[driver]\nisolation=yes\ntimeout=-1\n",
       {std::string("readcard.ini设置有错误：[driver]isolation=yes，已按默认值") + kDefault +
            "处理",
        "readcard.ini设置有错误：[driver]timeout=-1，已按默认值30处理"}},
  };
  for (const IniCase& c : cases) {
    SCOPED_TRACE(c.name);
    host.WriteReadcardIni(c.text);
    host.SetDriverAnswer(0, kEightFields);
    // Read afresh at every read: each of the two reports the values again,
    // and still reads the card.
    LogWatch log(host.LogPath());
    char* a = nullptr;
    char* b = nullptr;
    EXPECT_EQ(exports.readNumber(&a, &b), 0);
    EXPECT_STREQ(a, "c");
    char* line = nullptr;
    int32_t status = 1;
    EXPECT_EQ(exports.readInfo(&line, &status), 0);
    EXPECT_STREQ(line, kEightFieldsLine.c_str());
    std::vector<std::string> expected = c.messages;
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(log.NewMessages(), expected);
  }
  host.RemoveReadcardIni();
}

}  // namespace iccard

namespace iccard {

// Reads from several threads at once reach the one driver host one at a
// time: each gets its answer, and together they take as long as the reads
// one after another (the order of turns: tests/driver/call_queue_test.cpp).
void RunConcurrentReadCases(const CardExports& exports, HostDirectory& host) {
  host.UseIsolation(Isolation::kProcess);
  host.SetDriverAnswer(0, "A|B|C");
  char* a = nullptr;
  char* b = nullptr;
  ASSERT_EQ(exports.readNumber(&a, &b), 0);  // the driver host is running
  constexpr int kThreads = 4;
  constexpr int kReadsEach = 2;
  constexpr int kDelayMs = 100;
  host.SetDriverSetting("SIMCARD_DELAY_MS", std::to_string(kDelayMs).c_str());
  std::atomic<int> answered{0};
  LogWatch log(host.LogPath());
  const auto start = std::chrono::steady_clock::now();
  testing_support::RunOnThreads(kThreads, [&](int) {
    for (int i = 0; i < kReadsEach; ++i) {
      char* number = nullptr;
      char* copy = nullptr;
      if (exports.readNumber(&number, &copy) == 0 && number != nullptr &&
          std::string(number) == "C") {
        ++answered;
      }
    }
  });
  const auto took = std::chrono::steady_clock::now() - start;
  host.SetDriverSetting("SIMCARD_DELAY_MS", nullptr);
  EXPECT_EQ(answered.load(), kThreads * kReadsEach);
  EXPECT_EQ(log.NewMessages(), std::vector<std::string>{});
  EXPECT_GE(took, std::chrono::milliseconds(kThreads * kReadsEach * kDelayMs));
  host.RemoveReadcardIni();
}

}  // namespace iccard
