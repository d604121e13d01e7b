// The worker's hold on the card library, against a stand-in library behind
// the loader seam and a clock the test sets, so that a change of date can be
// made to happen.
#include "service/worker/card_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "logger/append_file.h"
#include "service/messages.h"
#include "tests/support/calendar.h"
#include "tests/support/scratch_directory.h"
#include "host/executable_path.h"

namespace service::worker {
namespace {

// The stand-in library: what it answers, what it was asked, and what the
// loader did with it.
struct StandIn {
  bool loadable = true;
  bool complete = true;  // has all its exports
  int loads = 0;
  int releases = 0;
  std::string loadedPath;
  std::string logPath;  // named, like the library's, by the date it was loaded at
  int result = 0;
  std::string answer;  // system code page
  std::string logged;  // a failure's record, appended to logPath
  // Another host's lines, appended to logPath during a failed call before
  // and after the stand-in's own record.
  std::string otherBefore;
  std::string otherAfter;
  bool holdsLog = true;  // keeps logPath open for appending from its load, as the library does
  std::unique_ptr<logger::AppendFile> log;
  std::string trackSeen;
};

StandIn g_standIn;
std::tm g_now;
std::string g_directory;
int g_module;  // its address is the stand-in's handle

std::tm Clock() { return g_now; }

using testing_support::CalendarTime;

std::string LogFileOf(const std::string& date) {
  const char s = host::kPathSeparator;
  return g_directory + "Log" + s + "readcard" + s + "qtz-" + date + ".log";
}

void AppendAsAnotherHost(const std::string& lines) {
  if (!lines.empty()) std::ofstream(g_standIn.logPath, std::ios::binary | std::ios::app) << lines;
}

int Answer(char** text) {
  if (g_standIn.result != 0) {
    AppendAsAnotherHost(g_standIn.otherBefore);
    if (g_standIn.logged.empty()) {
      // a write that failed: nothing at all reaches the file
    } else if (g_standIn.log) {
      g_standIn.log->Append(g_standIn.logged);
    } else {
      logger::AppendFile(g_standIn.logPath).Append(g_standIn.logged);  // closed again at once
    }
    AppendAsAnotherHost(g_standIn.otherAfter);
    return g_standIn.result;
  }
  static std::string buffer;
  buffer = g_standIn.answer;
  *text = &buffer[0];
  return 0;
}

int READCARD_CALL Version() { return 86; }
int READCARD_CALL IcCardNumber(int, int, int, int, char** number, char** copy) {
  *copy = nullptr;
  return Answer(number);
}
int READCARD_CALL MagneticCard(int, int, const char* track, char** number) {
  g_standIn.trackSeen = track;
  return Answer(number);
}
int READCARD_CALL IcCardInfo(int, int, char** info, int* status) {
  *status = 0;
  return Answer(info);
}

driver::ModuleHandle Load(const char* path) {
  if (!g_standIn.loadable) return nullptr;
  ++g_standIn.loads;
  g_standIn.loadedPath = path;
  char date[40];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", g_now.tm_year + 1900, g_now.tm_mon + 1,
                g_now.tm_mday);
  g_standIn.logPath = LogFileOf(date);
  std::filesystem::create_directories(std::filesystem::path(g_standIn.logPath).parent_path());
  if (g_standIn.holdsLog) g_standIn.log = std::make_unique<logger::AppendFile>(g_standIn.logPath);
  return reinterpret_cast<driver::ModuleHandle>(&g_module);
}

driver::FunctionAddress Find(driver::ModuleHandle, const char* name) {
  const std::string export_name = name;
  if (export_name == "QTZ_DLL_BBH") return reinterpret_cast<driver::FunctionAddress>(Version);
  if (!g_standIn.complete) return nullptr;
  if (export_name == "QTZ_DKH") return reinterpret_cast<driver::FunctionAddress>(IcCardNumber);
  if (export_name == "CK_DKH") return reinterpret_cast<driver::FunctionAddress>(MagneticCard);
  if (export_name == "SBK_YKT_ICGETINFO")
    return reinterpret_cast<driver::FunctionAddress>(IcCardInfo);
  return nullptr;
}

bool Release(driver::ModuleHandle) {
  ++g_standIn.releases;
  g_standIn.log.reset();
  return true;
}

const driver::LibraryLoader kStandInLoader = {Load, Find, Release};

class CardLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_standIn = StandIn();
    g_now = CalendarTime(2026, 12, 9, 10);
    g_directory = m_desk.path();
  }

  void TearDown() override { g_standIn.log.reset(); }

  CardLibrary MakeLibrary() {
    return CardLibrary(kStandInLoader, g_directory + "cards.lib", g_directory, Clock);
  }

  testing_support::ScratchDirectory m_desk;
};

// In the library's own character set, as the compiler writes this file's
// plain literals.
const std::string kFailureRecord = "[2026-12-09 10:00:00][Error]\t读卡失败,NOCARD\r\n";
const char* const kFailureMessage = u8"读卡失败,NOCARD";

TEST_F(CardLibraryTest, AnswersEachOperationInUtf8) {
  CardLibrary library = MakeLibrary();
  ASSERT_TRUE(library.Load());
  EXPECT_EQ(g_standIn.loadedPath, g_directory + "cards.lib");
  EXPECT_EQ(library.Version(), 86);
  g_standIn.answer = "330100#张三#";
  const CardRequest requests[] = {{CardOperation::IcCardNumber, ""},
                                  {CardOperation::IcCardInfo, ""},
                                  {CardOperation::MagneticCard, u8"张三"}};
  for (const CardRequest& request : requests) {
    const std::optional<WorkerAnswer> answer = library.Call(request);
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer->ok);
    EXPECT_EQ(answer->text, u8"330100#张三#");
  }
  EXPECT_EQ(g_standIn.trackSeen, "张三") << "the track reaches the library in its character set";
  EXPECT_EQ(g_standIn.loads, 1) << "kept loaded between calls";
}

// Only the record that this process appended during the call: other hosts
// in the directory write the same day's log at the same time.
TEST_F(CardLibraryTest, FailureAnswersWhatThisProcessLogged) {
  const std::string otherPatient =
      "[2026-12-09 10:00:00][Error]\t\xD5\xC5\xC8\xFD 330102199003071214\r\n";
  struct Case {
    const char* name;
    std::string logged;
    std::string otherBefore;
    std::string otherAfter;
    bool holdsLog;
    std::string message;
  };
  const Case cases[] = {
      {"its own record", kFailureRecord, "", "", true, kFailureMessage},
      {"another host's record before it", kFailureRecord, otherPatient, "", true, kFailureMessage},
      {"another host's record after it", kFailureRecord, "", otherPatient, true, kFailureMessage},
      {"a message over two lines among others", "[2026-12-09 10:00:00][Error]\tone\r\ntwo\r\n",
       otherPatient, otherPatient, true, "one\ntwo"},
      {"the log not written, another host's record only", "", otherPatient, "", true,
       Say(Words::kNothingLogged)},
      {"its end closes no line", "[2026-12-09 10:00:00][Error]\tcut", "", otherPatient, true,
       Say(Words::kOwnRecordUnknown)},
      {"its own handle not to be found", kFailureRecord, "", "", false,
       Say(Words::kOwnRecordUnknown)},
      {"no handle and nothing written", "", "", "", false, Say(Words::kNothingLogged)},
  };
  // Earlier records of the day are not this call's.
  std::filesystem::create_directories(std::filesystem::path(LogFileOf("2026-12-09")).parent_path());
  std::ofstream(LogFileOf("2026-12-09"), std::ios::binary)
      << "[2026-12-09 09:00:00][Error]\told\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_standIn = StandIn();
    g_standIn.result = -1;
    g_standIn.logged = c.logged;
    g_standIn.otherBefore = c.otherBefore;
    g_standIn.otherAfter = c.otherAfter;
    g_standIn.holdsLog = c.holdsLog;
    CardLibrary library = MakeLibrary();
    ASSERT_TRUE(library.Load());
    const std::optional<WorkerAnswer> answer = library.Call({CardOperation::IcCardNumber, ""});
    ASSERT_TRUE(answer);
    EXPECT_FALSE(answer->ok);
    EXPECT_EQ(answer->text, c.message);
  }
}

TEST_F(CardLibraryTest, LoadsAfreshWhenTheDateChanges) {
  CardLibrary library = MakeLibrary();
  ASSERT_TRUE(library.Load());
  g_standIn.result = -1;
  g_standIn.logged = kFailureRecord;
  g_now = CalendarTime(2026, 12, 9, 23);
  ASSERT_TRUE(library.Call({CardOperation::IcCardNumber, ""}));
  EXPECT_EQ(g_standIn.loads, 1) << "same date: no reload";

  g_now = CalendarTime(2026, 12, 10, 0);
  const std::optional<WorkerAnswer> answer = library.Call({CardOperation::IcCardNumber, ""});
  EXPECT_EQ(g_standIn.releases, 1);
  EXPECT_EQ(g_standIn.loads, 2);
  EXPECT_EQ(g_standIn.logPath, LogFileOf("2026-12-10"));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->text, kFailureMessage) << "read back from the new day's file";

  g_now = CalendarTime(2027, 1, 1, 0);  // a year on
  ASSERT_TRUE(library.Call({CardOperation::IcCardNumber, ""}));
  EXPECT_EQ(g_standIn.loads, 3);
}

TEST_F(CardLibraryTest, LibraryThatCannotBeHad) {
  struct Case {
    const char* name;
    bool loadable;
    bool complete;
    Words problem;
  };
  const Case cases[] = {
      {"missing", false, true, Words::kLibraryCannotLoad},
      {"without the card exports", true, false, Words::kLibraryWrongVersion},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_standIn = StandIn();
    g_standIn.loadable = c.loadable;
    g_standIn.complete = c.complete;
    // A name in the system's code page, as a desk folder may hold.
    CardLibrary library(kStandInLoader, g_directory + "读卡.lib", g_directory, Clock);
    EXPECT_FALSE(library.Load());
    // It reaches web pages: the file's name in UTF-8, never the desk's path.
    EXPECT_EQ(library.problem(), Say(c.problem, {u8"读卡.lib"}));
    EXPECT_EQ(library.Version(), -1);
    EXPECT_EQ(g_standIn.loads, g_standIn.releases) << "nothing left loaded";
    EXPECT_FALSE(library.Call({CardOperation::IcCardNumber, ""}));
  }
}

TEST_F(CardLibraryTest, ReloadThatFailsAnswersNothing) {
  CardLibrary library = MakeLibrary();
  ASSERT_TRUE(library.Load());
  g_standIn.loadable = false;  // the file was taken away while the worker ran
  g_now = CalendarTime(2026, 12, 10, 8);
  EXPECT_FALSE(library.Call({CardOperation::IcCardNumber, ""}));
  EXPECT_EQ(g_standIn.releases, 1);
}

}  // namespace
}  // namespace service::worker
