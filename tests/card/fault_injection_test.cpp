// Every export under failure, in the manner of a fault simulator: the Nth
// allocation of a call fails (this program replaces operator new to count
// them), for N = 1, 2, ... until a call completes without reaching its Nth;
// and the log's writes fail. Whatever fails, each call answers -1 or its
// success, lets nothing escape, leaves the host's pointers untouched when it
// answers -1, and the next call answers as before.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "card/exports.h"
#include "host/executable_path.h"
#include "host/host_directory.h"
#include "ic_card_cases.h"
#include "logger/logger.h"
#include "tests/support/files.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace {

long g_allocations = 0;  // allocations since the call was armed
long g_failAt = 0;       // the allocation that fails; 0: none
bool g_failed = false;   // the armed allocation was reached

void* Allocate(std::size_t size) {
  if (g_failAt != 0 && ++g_allocations == g_failAt) {
    g_failed = true;
    throw std::bad_alloc();
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void* AllocateOrNull(std::size_t size) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull(size);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

char kUntouched[] = "untouched";  // what the host's pointers hold before a call

// What a call handed back: its result, and the texts behind the pointers it
// set (or kUntouched's).
struct Outcome {
  int32_t result = 0;
  char* first = kUntouched;
  char* second = kUntouched;
  int32_t status = -7;  // SBK_YKT_ICGETINFO's status; -7 until written

  std::string Text(const char* pointer) const {
    return pointer == kUntouched ? "(untouched)" : std::string(pointer);
  }
};

struct ExportCase {
  const char* name;
  const char* loginIni;  // nullptr: no Login.ini
  int32_t driverResult;
  const char* record;
  int32_t answer;  // the answer without faults
  std::function<void(Outcome&)> call;
};

const char kVirtualCard[] = "[MAIN]\r\nREALCARD = TRUE\r\n[QTZH]\r\nCURRENT=2\r\n2=0000222222\r\n";
const char kVirtualCardNoCurrent[] = "[MAIN]\r\nREALCARD = TRUE\r\n[QTZH]\r\n";
const char kRealCard[] = "[MAIN]\r\nUSER=1\r\n";

void ReadNumber(Outcome& o) { o.result = QTZ_DKH(1, 2, 3, 4, &o.first, &o.second); }
void ReadInfo(Outcome& o) { o.result = SBK_YKT_ICGETINFO(0, 0, &o.first, &o.status); }

std::vector<ExportCase> Cases() {
  return {
      {"QTZ_DLL_BBH", nullptr, 0, "", 86, [](Outcome& o) { o.result = QTZ_DLL_BBH(); }},
      {"QTZ_DKH virtual card", kVirtualCard, 0, "", 0, ReadNumber},
      {"QTZ_DKH virtual card without CURRENT", kVirtualCardNoCurrent, 0, "", -1, ReadNumber},
      {"QTZ_DKH card read", kRealCard, 0, "A|B|0000333333|D", 0, ReadNumber},
      {"QTZ_DKH driver failure", kRealCard, -2, "NOCARD", -1, ReadNumber},
      {"QTZ_DKH short record", nullptr, 0, "A|B", -1, ReadNumber},
      {"CK_DKH card", nullptr, 0, "", 0,
       [](Outcome& o) {
         o.result = CK_DKH(5, 6, "123456780000123456=009633791987654321", &o.first);
       }},
      {"CK_DKH wrong check code", nullptr, 0, "", -1,
       [](Outcome& o) {
         o.result = CK_DKH(5, 6, "123456780000123456=009633791987654320", &o.first);
       }},
      {"CK_DKH short track", nullptr, 0, "", -1,
       [](Outcome& o) { o.result = CK_DKH(5, 6, "12345", &o.first); }},
      {"SBK_YKT_ICGETINFO", nullptr, 0, "a|b|c|d|e|f|g|h", 0, ReadInfo},
      {"SBK_YKT_ICGETINFO driver failure", nullptr, -5, "NOCARD", -1, ReadInfo},
      {"inactive exports", nullptr, 0, "", 0,
       [](Outcome& o) {
         o.result = QTZ_ErrorString(1, 2, 3) | QTZ_FindWindow2(4) | QTZ_HSXK(1, 2, 3, 4, 5, 6) |
                    QTZ_YKT_JK_SD() | SBK_YKT_ICPURCHASE(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11) |
                    SBK_YKT_ICTRANSLOG(1, 2, 3);
       }},
  };
}

// Runs the call; a C++ exception that leaves an export fails the test.
Outcome RunExport(const ExportCase& c) {
  Outcome outcome;
  try {
    c.call(outcome);
  } catch (...) {
    ADD_FAILURE() << c.name << ": an exception left the export";
  }
  return outcome;
}

void ExpectSame(const Outcome& got, const Outcome& want) {
  EXPECT_EQ(got.result, want.result);
  EXPECT_EQ(got.Text(got.first), want.Text(want.first));
  EXPECT_EQ(got.Text(got.second), want.Text(want.second));
  EXPECT_EQ(got.status, want.status);
}

class FaultInjection : public testing::Test {
 protected:
  void Prepare(const ExportCase& c) {
    if (c.loginIni != nullptr) {
      host_.WriteLoginIni(c.loginIni);
    } else {
      host_.RemoveLoginIni();
    }
    host_.SetDriverAnswer(c.driverResult, c.record);
  }

  iccard::HostDirectory host_{host::HostDirectory(), host::kPathSeparator};
};

TEST_F(FaultInjection, EveryAllocationOfEveryExportMayFail) {
  for (const ExportCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    Prepare(c);
    const Outcome clean = RunExport(c);
    ASSERT_EQ(clean.result, c.answer);
    long points = 0;
    for (long n = 1; n <= 100000; ++n) {
      g_allocations = 0;
      g_failed = false;
      g_failAt = n;
      const Outcome faulty = RunExport(c);
      g_failAt = 0;
      if (!g_failed) break;  // the call made fewer than n allocations
      ++points;
      SCOPED_TRACE("allocation " + std::to_string(n) + " failed");
      if (faulty.result == c.answer) {
        ExpectSame(faulty, clean);  // the failure was absorbed
      } else {
        EXPECT_EQ(faulty.result, -1);
        EXPECT_EQ(faulty.first, kUntouched);
        EXPECT_EQ(faulty.second, kUntouched);
        EXPECT_TRUE(faulty.status == -7 || faulty.status == 0) << faulty.status;
      }
      ExpectSame(RunExport(c), clean);  // the next call works
    }
    // Every call that logs or builds a text allocates: the loop reached it.
    if (c.answer == -1) {
      EXPECT_GT(points, 0);
    }
  }
}

#ifndef _WIN32
// The log's file cannot grow (a full disk): each write the logger makes
// fails at the system's write, and every export answers as before.
TEST_F(FaultInjection, LogWritesThatFailChangeNoAnswer) {
  const std::string log = logger::g_fileLogger.fileName();
  const std::uintmax_t size = testing_support::FileSize(log);
  std::vector<Outcome> clean;
  for (const ExportCase& c : Cases()) {
    Prepare(c);
    clean.push_back(RunExport(c));
  }
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  signal(SIGXFSZ, SIG_IGN);
  const std::uintmax_t full = testing_support::FileSize(log);
  struct rlimit limit = old;
  limit.rlim_cur = static_cast<rlim_t>(full);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  std::size_t i = 0;
  for (const ExportCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    Prepare(c);
    ExpectSame(RunExport(c), clean[i++]);
  }
  const std::uintmax_t after = testing_support::FileSize(log);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_GT(full, size) << "the clean calls logged";
  EXPECT_EQ(after, full) << "a write went through";
}
#endif

}  // namespace
