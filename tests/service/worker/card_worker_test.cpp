// The card worker end to end: the service's side on an event loop, real
// worker processes, the real card library and the simulated driver, all in
// a scratch desk directory.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <boost/asio/io_context.hpp>

#include "card/check_code.h"
#include "driver/card_driver.h"
#include "logger/day_log.h"
#include "service/card_calls.h"
#include "service/messages.h"
#include "service/worker/worker_process.h"
#include "tests/support/emulation.h"
#include "tests/support/environment.h"
#include "tests/support/scratch_directory.h"
#include "tests/service/worker/stray_handle.h"
#include "host/host_directory.h"

namespace service {
namespace {

using testing_support::RunningEmulated;

std::string Built(const char* file) {
#ifdef _WIN32
  return host::HostDirectory() + file;  // beside the test program
#else
  return file;
#endif
}

using testing_support::SetVariable;

const char* const kVariables[] = {
    "SIMCARD_RESULT",       "SIMCARD_RECORD",       "SIMCARD_FAULT", "SIMCARD_DELAY_MS",
    "READCARD_TEST_WORKER", "READCARD_TEST_HANDLE", "READCARD_HOME"};

// A magnetic track that the library accepts, carrying number.
std::string Track(const std::string& number) {
  const std::string head = "12345678", tail = "87654321";
  return head + number + "=" + card::ComputeCheckCode(number, tail, head) + tail;
}

const char* const kDefaultInfo =
    u8"330100#20200315#2#A12345678#01#330102199003071214#张三######"
    u8"330100D15600000500A12345678B9C0D#";

class CardWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables) SetVariable(name, nullptr);
    m_program = m_desk.Copy(Built(WORKER_PROGRAM), WORKER_PROGRAM_FILE);
    std::filesystem::permissions(m_program, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    m_desk.Copy(Built(CARD_LIBRARY), CARD_LIBRARY_FILE);
    m_desk.Copy(Built(CARD_DRIVER), driver::kCardDriverFile);
  }

  void TearDown() override {
    m_calls.reset();
    m_loop.run_for(std::chrono::milliseconds(200));  // what the stop posted
    for (const char* name : kVariables) SetVariable(name, nullptr);
  }

  // Starts the worker; timeoutSeconds grows where programs run emulated.
  void Start(int timeoutSeconds = 10, std::size_t queueLimit = 8) {
    WorkerSettings settings;
    settings.program = m_program;
    settings.directory = m_desk.path();
    settings.timeoutSeconds = RunningEmulated() ? timeoutSeconds * 6 : timeoutSeconds;
    m_seconds = std::to_string(settings.timeoutSeconds);
    settings.queueLimit = queueLimit;
    settings.log = [this](const std::string& line) { m_log.push_back(line); };
    settings.failed = [this](const std::string& line) { m_failures.push_back(line); };
    m_calls = StartCardWorker(m_loop, settings);
  }

  // Runs the loop until done() or the limit (generous: a worker starts slowly under Wine).
  template <typename Done>
  bool RunUntil(Done done, std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto deadline =
        std::chrono::steady_clock::now() + (RunningEmulated() ? limit * 5 : limit);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      if (m_loop.stopped()) m_loop.restart();
      m_loop.run_one_for(std::chrono::milliseconds(50));
    }
    return done();
  }

  bool WaitReady() {
    return RunUntil([this] { return m_calls->Version() != -1; });
  }

  // Submits request; the answer lands in the slot returned.
  std::shared_ptr<std::optional<CardAnswer>> Submit(CardRequest request) {
    auto slot = std::make_shared<std::optional<CardAnswer>>();
    m_calls->Submit(std::move(request), [slot](CardAnswer answer) {
      EXPECT_FALSE(slot->has_value()) << "answered twice";
      *slot = std::move(answer);
    });
    return slot;
  }

  CardAnswer Call(CardRequest request) {
    auto slot = Submit(std::move(request));
    EXPECT_TRUE(RunUntil([&] { return slot->has_value(); })) << "no answer";
    return slot->value_or(CardAnswer{CallOutcome::Unavailable, false, "no answer"});
  }

  bool Logged(const std::string& part) const {
    for (const std::string& line : m_log) {
      if (line.find(part) != std::string::npos) return true;
    }
    return false;
  }

  // A line reported as a worker's failure (for the system's event log).
  bool ReportedFailure(const std::string& part) const {
    for (const std::string& line : m_failures) {
      if (line.find(part) != std::string::npos) return true;
    }
    return false;
  }

  std::string LogText() const {
    std::string text;
    for (const std::string& line : m_log) text += line + "\n";
    return text;
  }

  testing_support::ScratchDirectory m_desk;
  std::string m_program;
  std::string m_seconds;  // the time limit that Start set, as the words give it
  boost::asio::io_context m_loop;
  std::unique_ptr<CardCalls> m_calls;
  std::vector<std::string> m_log;
  std::vector<std::string> m_failures;
};

const CardRequest kNumber{CardOperation::IcCardNumber, ""};
const CardRequest kInfo{CardOperation::IcCardInfo, ""};

TEST_F(CardWorkerTest, EachOperationAnswersInUtf8) {
  Start();
  ASSERT_TRUE(WaitReady()) << LogText();
  EXPECT_EQ(m_calls->Version(), 86);
  struct Case {
    CardRequest request;
    const char* text;
  };
  const std::string track = Track("0000123456");
  const Case cases[] = {
      {kNumber, "A12345678"},
      {kInfo, kDefaultInfo},
      {{CardOperation::MagneticCard, track}, "0000123456"},
  };
  for (const Case& c : cases) {
    const CardAnswer answer = Call(c.request);
    EXPECT_EQ(answer.outcome, CallOutcome::Answered);
    EXPECT_TRUE(answer.ok) << answer.text;
    EXPECT_EQ(answer.text, c.text);
  }
  EXPECT_FALSE(m_calls->Busy());
}

TEST_F(CardWorkerTest, EachFailureAnswersWhatItLogged) {
  SetVariable("SIMCARD_RESULT", "-3");
  SetVariable("SIMCARD_RECORD", "NOCARD");
  Start();
  ASSERT_TRUE(WaitReady()) << LogText();
  struct Case {
    CardRequest request;
    const char* message;
  };
  const Case cases[] = {
      {kNumber, u8"读卡失败,错误码:-3 错误信息NOCARD"},
      {kInfo, u8"读卡失败,错误码:-3 错误信息NOCARD"},
      {{CardOperation::MagneticCard, "too short"}, u8"磁卡号长度不正常"},
      {{CardOperation::MagneticCard, "123456780000123456=009633791987654320"},
       u8"卡号校验失败，请确认是否院内磁卡。"},
  };
  for (const Case& c : cases) {
    const CardAnswer answer = Call(c.request);
    EXPECT_EQ(answer.outcome, CallOutcome::Answered);
    EXPECT_FALSE(answer.ok);
    EXPECT_EQ(answer.text, c.message);
  }
}

// The library prints one line on standard output when it cannot load the
// driver: that line must not get into the worker's answers.
TEST_F(CardWorkerTest, MissingDriverIsAFailedReadAndTheWorkerGoesOn) {
  std::filesystem::remove(m_desk.File(driver::kCardDriverFile));
  Start();
  ASSERT_TRUE(WaitReady()) << LogText();
  for (const CardRequest& request : {kNumber, kInfo}) {
    const CardAnswer answer = Call(request);
    EXPECT_EQ(answer.outcome, CallOutcome::Answered);
    EXPECT_FALSE(answer.ok);
    EXPECT_EQ(answer.text, std::string(u8"无法加载读卡动态库：") + driver::kCardDriverFile);
  }
}

#ifndef _WIN32
// READCARD_HOME moves the desk's driver and log, never the library: the
// worker loads the library beside itself and reads the log where the
// library writes it.
TEST_F(CardWorkerTest, HomeSettingMovesTheDriverAndTheLogNotTheLibrary) {
  testing_support::ScratchDirectory home;
  home.Copy(m_desk.File(driver::kCardDriverFile), driver::kCardDriverFile);
  std::filesystem::remove(m_desk.File(driver::kCardDriverFile));
  SetVariable("READCARD_HOME", home.path().c_str());
  SetVariable("SIMCARD_RESULT", "-3");
  SetVariable("SIMCARD_RECORD", "NOCARD");
  Start();
  ASSERT_TRUE(WaitReady()) << LogText();
  const CardAnswer answer = Call(kNumber);
  EXPECT_EQ(answer.outcome, CallOutcome::Answered);
  EXPECT_EQ(answer.text, u8"读卡失败,错误码:-3 错误信息NOCARD");
  EXPECT_TRUE(std::filesystem::is_directory(home.File("Log")));
  EXPECT_FALSE(std::filesystem::exists(m_desk.File("Log")));
}

// The library is found as a host finds it: by its SONAME or its real name
// beside the program, else by its SONAME where the system's loader finds
// installed libraries (LD_LIBRARY_PATH stands for the system's directories).
TEST_F(CardWorkerTest, FindsTheLibraryBesideTheProgramOrInstalled) {
  struct Case {
    const char* name;
    std::vector<std::string> beside;  // the library's copies beside the program
    bool installed;                   // a copy where the loader looks
    bool loads;
  };
  const std::vector<Case> cases = {
      {"by its SONAME beside", {CARD_LIBRARY_NAME}, false, true},
      {"by its real name beside", {CARD_LIBRARY_FILE}, false, true},
      {"installed", {}, true, true},
      {"the development link beside is not the library", {"libreadcard.so"}, false, false},
      {"nowhere", {}, false, false},
  };
  const char* const outer = std::getenv("LD_LIBRARY_PATH");
  const std::optional<std::string> saved =
      outer != nullptr ? std::optional<std::string>(outer) : std::nullopt;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(m_desk.File(CARD_LIBRARY_FILE));
    for (const std::string& file : c.beside) m_desk.Copy(Built(CARD_LIBRARY), file);
    testing_support::ScratchDirectory system;
    if (c.installed) system.Copy(Built(CARD_LIBRARY), CARD_LIBRARY_NAME);
    SetVariable("LD_LIBRARY_PATH", system.path().c_str());
    m_log.clear();
    Start();
    const CardAnswer answer = Call(kNumber);
    SetVariable("LD_LIBRARY_PATH", saved ? saved->c_str() : nullptr);
    if (c.loads) {
      EXPECT_EQ(answer.outcome, CallOutcome::Answered) << answer.text;
      EXPECT_EQ(answer.text, "A12345678");
      EXPECT_EQ(m_calls->Version(), 86);
    } else {
      EXPECT_EQ(answer.outcome, CallOutcome::Unavailable);
      EXPECT_EQ(answer.text, Say(Words::kLibraryNotFound, {CARD_LIBRARY_NAME}));
      EXPECT_TRUE(RunUntil([&] { return Logged(Say(Words::kWorkerSays, {answer.text})); }))
          << LogText();
    }
    m_calls.reset();
    m_loop.run_for(std::chrono::milliseconds(100));
    for (const std::string& file : c.beside) std::filesystem::remove(m_desk.File(file));
  }
}
#endif

// Another host in the same directory writes a record to the same day's log
// while the call runs: the failed read's message holds only this call's.
TEST_F(CardWorkerTest, AFailedReadCarriesNoOtherWritersRecord) {
  const int delayMs = RunningEmulated() ? 3000 : 600;
  SetVariable("SIMCARD_RESULT", "-3");
  SetVariable("SIMCARD_RECORD", "NOCARD");
  SetVariable("SIMCARD_DELAY_MS", std::to_string(delayMs).c_str());
  Start();
  ASSERT_TRUE(WaitReady()) << LogText();
  ASSERT_EQ(Call(kNumber).text, u8"读卡失败,错误码:-3 错误信息NOCARD");  // the log is open now
  auto answer = Submit(kNumber);
  ASSERT_TRUE(RunUntil([&] { return m_calls->Busy(); }));
  // Into the driver's wait, after the worker noted the log's size.
  std::this_thread::sleep_for(std::chrono::milliseconds(delayMs / 3));
  const std::string other = "[2026-01-01 08:00:00][Error]\t\xD5\xC5\xC8\xFD 330102199003071214\n";
  const std::string logPath = logger::TodayLogPath(m_desk.path());
  std::ofstream(logPath, std::ios::binary | std::ios::app) << other;
  ASSERT_TRUE(RunUntil([&] { return answer->has_value(); }));
  EXPECT_EQ((*answer)->text, u8"读卡失败,错误码:-3 错误信息NOCARD");
  const std::string log = logger::ReadFrom(logPath, 0);
  EXPECT_LT(log.find(other), log.rfind("NOCARD")) << "the other record lies before the call's own";
}

TEST_F(CardWorkerTest, BlockedLogDirectoryGivesTheFixedText) {
  m_desk.Write("Log", "a file where the log directory belongs");
  SetVariable("SIMCARD_RESULT", "-3");
  Start();
  ASSERT_TRUE(WaitReady()) << LogText();
  const CardAnswer answer = Call(kNumber);
  EXPECT_EQ(answer.outcome, CallOutcome::Answered);
  EXPECT_FALSE(answer.ok);
  EXPECT_EQ(answer.text, Say(Words::kNothingLogged));
}

TEST_F(CardWorkerTest, HungDriverTimesOutAndTheNextCallIsAnswered) {
  SetVariable("SIMCARD_DELAY_MS", "600000");
  Start(1);
  SetVariable("SIMCARD_DELAY_MS", nullptr);  // for the fresh worker only
  ASSERT_TRUE(WaitReady()) << LogText();
  const auto start = std::chrono::steady_clock::now();
  auto hung = Submit(kNumber);
  ASSERT_TRUE(RunUntil([&] { return m_calls->Busy() || hung->has_value(); }));
  EXPECT_TRUE(m_calls->Busy());
  ASSERT_TRUE(RunUntil([&] { return hung->has_value(); }));
  EXPECT_EQ((*hung)->outcome, CallOutcome::TimedOut);
  EXPECT_EQ((*hung)->text, Say(Words::kAnswerDriverNoAnswer, {m_seconds}));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_FALSE(m_calls->Busy());
  const CardAnswer next = Call(kNumber);
  EXPECT_EQ(next.outcome, CallOutcome::Answered);
  EXPECT_EQ(next.text, "A12345678");
  const std::string ended = Say(Words::kDriverNoAnswer, {m_seconds});
  EXPECT_TRUE(RunUntil([&] { return Logged(ended); })) << LogText();
  EXPECT_TRUE(RunUntil([&] { return ReportedFailure(ended); })) << LogText();
}

// Natively a driver's crash ends the worker; on Windows the library's guard
// contains it, and only a worker that ends abruptly shows the same.
TEST_F(CardWorkerTest, WorkerThatDiesAnswersWorkerDiedAndTheNextCallIsAnswered) {
#ifdef _WIN32
  SetVariable("READCARD_TEST_WORKER", "abrupt");
#else
  SetVariable("SIMCARD_FAULT", "access");
#endif
  Start();
  SetVariable("READCARD_TEST_WORKER", nullptr);
  SetVariable("SIMCARD_FAULT", nullptr);
  ASSERT_TRUE(WaitReady()) << LogText();
  const CardAnswer died = Call(kNumber);
  EXPECT_EQ(died.outcome, CallOutcome::WorkerDied);
  EXPECT_EQ(died.text, Say(Words::kAnswerDriverCrashed));
  const CardAnswer next = Call(kInfo);
  EXPECT_EQ(next.outcome, CallOutcome::Answered);
  EXPECT_EQ(next.text, kDefaultInfo);
  // The service's log says how it ended, whichever of its pipes the
  // service saw close first (the words of that lead the line).
#ifdef _WIN32
  const char* const ending = "exit code 3";  // abort()
#elif defined(__SANITIZE_ADDRESS__)
  const char* const ending = "exit code 1";  // AddressSanitizer's report
#else
  const char* const ending = "signal 11 (SIGSEGV)";
#endif
  const std::string how = Say(Words::kHowItEnded, {Say(Words::kWorkerDiedInCall, {""}), ending});
  EXPECT_TRUE(RunUntil([&] { return Logged(how); })) << LogText();
  EXPECT_TRUE(RunUntil([&] { return ReportedFailure(how); })) << LogText();
}

#ifdef _WIN32
TEST_F(CardWorkerTest, DriverCrashInsideTheLibraryIsAFailedRead) {
  SetVariable("SIMCARD_FAULT", "access");
  Start();
  ASSERT_TRUE(WaitReady()) << LogText();
  const CardAnswer answer = Call(kNumber);
  EXPECT_EQ(answer.outcome, CallOutcome::Answered);
  EXPECT_FALSE(answer.ok);
  EXPECT_NE(answer.text.find(u8"读卡函数调用异常"), std::string::npos) << answer.text;
  EXPECT_NE(answer.text.find("0xC0000005"), std::string::npos) << answer.text;
}
#endif

TEST_F(CardWorkerTest, WorkerThatSendsGarbageIsReplaced) {
  SetVariable("READCARD_TEST_WORKER", "garbage");
  Start();
  SetVariable("READCARD_TEST_WORKER", nullptr);
  ASSERT_TRUE(WaitReady()) << LogText();
  EXPECT_EQ(Call(kNumber).outcome, CallOutcome::WorkerDied);
  const CardAnswer next = Call(kNumber);
  EXPECT_EQ(next.outcome, CallOutcome::Answered);
  EXPECT_EQ(next.text, "A12345678");
}

// A frame that is not the answer to the call in flight (here a second
// answer to each call, as a driver that writes to the worker's output
// would) ends the worker: no later call gets an answer meant for another.
TEST_F(CardWorkerTest, ExtraAnswerEndsTheWorkerAndNoAnswerLandsOnTheWrongCall) {
  SetVariable("READCARD_TEST_WORKER", "extra");
  Start();
  SetVariable("READCARD_TEST_WORKER", nullptr);
  ASSERT_TRUE(WaitReady()) << LogText();
  auto first = Submit(kNumber);
  auto second = Submit({CardOperation::MagneticCard, Track("0000123456")});
  ASSERT_TRUE(RunUntil([&] { return first->has_value() && second->has_value(); }));
  EXPECT_EQ((*first)->outcome, CallOutcome::Answered);
  EXPECT_EQ((*first)->text, "first");
  EXPECT_EQ((*second)->outcome, CallOutcome::WorkerDied) << (*second)->text;
  // The forged answer to the first call came while the second was running.
  EXPECT_TRUE(RunUntil([&] {
    return Logged(Say(Words::kWorkerAnswerOutOfTurn, {"1", "2"}));
  })) << LogText();
  const CardAnswer next = Call({CardOperation::MagneticCard, Track("0000123456")});
  EXPECT_EQ(next.outcome, CallOutcome::Answered);
  EXPECT_EQ(next.text, "0000123456");
}

// A worker that is ended takes the processes its driver started with it.
TEST_F(CardWorkerTest, EndedWorkerLeavesNoHelperProcessBehind) {
  SetVariable("READCARD_TEST_WORKER", "orphan");
  Start(1);
  SetVariable("READCARD_TEST_WORKER", nullptr);
  ASSERT_TRUE(WaitReady()) << LogText();
  const CardAnswer started = Call(kNumber);
  ASSERT_EQ(started.outcome, CallOutcome::Answered);
  const std::string helper = started.text;
  ASSERT_TRUE(testing_support::ProcessRuns(helper)) << helper;
  EXPECT_EQ(Call(kNumber).outcome, CallOutcome::TimedOut);
  EXPECT_TRUE(
      RunUntil([&] { return !testing_support::ProcessRuns(helper); }, std::chrono::seconds(10)))
      << "helper " << helper << " outlived its worker";
  if (testing_support::ProcessRuns(helper)) testing_support::EndProcess(helper);
}

TEST_F(CardWorkerTest, StoppingDuringAHungCallEndsTheWorkerAndAnswersOnce) {
  SetVariable("SIMCARD_DELAY_MS", "600000");
  Start(600);
  ASSERT_TRUE(WaitReady()) << LogText();
  auto hung = Submit(kNumber);
  auto waiting = Submit(kNumber);
  ASSERT_TRUE(RunUntil([&] { return m_calls->Busy(); }));
  const auto start = std::chrono::steady_clock::now();
  m_calls.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5))
      << "never waits for the worker";
  ASSERT_TRUE(RunUntil([&] { return hung->has_value() && waiting->has_value(); }));
  EXPECT_EQ((*hung)->outcome, CallOutcome::Unavailable);
  EXPECT_EQ((*waiting)->outcome, CallOutcome::Unavailable);
  EXPECT_TRUE(Logged(Say(Words::kWorkerEndedWithService))) << LogText();
  // Neither the worker's start nor its end with the service is a failure.
  EXPECT_TRUE(m_failures.empty()) << m_failures.front();
}

// The worker holds the three standard handles and nothing else of the
// service's: here an inheritable handle of the test stands for the service's
// sockets and files.
TEST_F(CardWorkerTest, WorkerInheritsNoStrayHandle) {
  const std::string stray = testing_support::OpenStrayHandle();
  SetVariable("READCARD_TEST_WORKER", "handles");
  SetVariable("READCARD_TEST_HANDLE", stray.c_str());
  Start();
  SetVariable("READCARD_TEST_WORKER", nullptr);
  ASSERT_TRUE(WaitReady()) << LogText();
  const CardAnswer answer = Call(kNumber);
  testing_support::CloseStrayHandle(stray);
  EXPECT_EQ(answer.outcome, CallOutcome::Answered);
  EXPECT_EQ(answer.text, "not inherited");
}

TEST_F(CardWorkerTest, FullQueueAnswersBusy) {
  SetVariable("SIMCARD_DELAY_MS", "300");
  Start(10, 2);
  ASSERT_TRUE(WaitReady()) << LogText();
  std::vector<std::shared_ptr<std::optional<CardAnswer>>> answers;
  for (int i = 0; i < 6; ++i) answers.push_back(Submit(kNumber));
  EXPECT_TRUE(m_calls->Busy());
  ASSERT_TRUE(RunUntil([&] {
    for (const auto& answer : answers) {
      if (!answer->has_value()) return false;
    }
    return true;
  }));
  std::vector<CallOutcome> outcomes;
  for (const auto& answer : answers) outcomes.push_back((*answer)->outcome);
  // One runs, two wait behind it, the rest are turned away.
  const std::vector<CallOutcome> expected = {CallOutcome::Answered, CallOutcome::Answered,
                                             CallOutcome::Answered, CallOutcome::Busy,
                                             CallOutcome::Busy,     CallOutcome::Busy};
  EXPECT_EQ(outcomes, expected);
  EXPECT_EQ((*answers[0])->text, "A12345678");
  EXPECT_FALSE((*answers[5])->text.empty());
}

TEST_F(CardWorkerTest, ManyCallsAreAnsweredInArrivalOrder) {
  Start(10, 100);
  ASSERT_TRUE(WaitReady()) << LogText();
  const int count = testing_support::RepeatCount(40, 10);
  std::vector<std::string> numbers;
  std::vector<std::shared_ptr<std::optional<CardAnswer>>> answers;
  std::vector<int> finished;
  for (int i = 0; i < count; ++i) {
    char number[11];
    std::snprintf(number, sizeof number, "%010d", 1000 + i * 37);
    numbers.push_back(number);
    auto slot = std::make_shared<std::optional<CardAnswer>>();
    m_calls->Submit({CardOperation::MagneticCard, Track(number)},
                    [slot, &finished, i](CardAnswer answer) {
                      *slot = std::move(answer);
                      finished.push_back(i);
                    });
    answers.push_back(slot);
  }
  ASSERT_TRUE(RunUntil([&] { return static_cast<int>(finished.size()) == count; }));
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(finished[i], i);
    EXPECT_EQ((*answers[i])->outcome, CallOutcome::Answered);
    EXPECT_EQ((*answers[i])->text, numbers[i]);
  }
}

TEST_F(CardWorkerTest, MissingLibraryIsUnavailableUntilItIsThere) {
  std::filesystem::remove(m_desk.File(CARD_LIBRARY_FILE));
  Start();
  const CardAnswer missing = Call(kNumber);
  EXPECT_EQ(missing.outcome, CallOutcome::Unavailable);
  EXPECT_NE(missing.text.find(CARD_LIBRARY_NAME), std::string::npos) << missing.text;
  EXPECT_EQ(m_calls->Version(), -1);
  EXPECT_TRUE(RunUntil([&] { return Logged(Say(Words::kWorkerSays, {missing.text})); }))
      << LogText();
  const std::string cannotLoad = Say(Words::kLibraryCannotLoad, {""});
  EXPECT_EQ(missing.text.rfind(cannotLoad), 0u) << "said twice: " << missing.text;
  m_desk.Copy(Built(CARD_LIBRARY), CARD_LIBRARY_FILE);  // put in place by IT
  const CardAnswer answer = Call(kNumber);
  EXPECT_EQ(answer.outcome, CallOutcome::Answered);
  EXPECT_EQ(answer.text, "A12345678");
  EXPECT_EQ(m_calls->Version(), 86);
}

TEST_F(CardWorkerTest, ProgramThatCannotStartIsUnavailable) {
  std::filesystem::remove(m_program);
  Failure failure;
  EXPECT_EQ(worker::StartWorkerProcess(m_loop, m_program, m_desk.path(), failure), nullptr);
  EXPECT_EQ(failure.code, Words::kWorkerCannotStart);
  EXPECT_EQ(failure.value, m_program);
  Start();
  const CardAnswer answer = Call(kNumber);
  EXPECT_EQ(answer.outcome, CallOutcome::Unavailable);
  EXPECT_FALSE(answer.text.empty());
  EXPECT_TRUE(Logged(Say(failure))) << LogText();
}

}  // namespace
}  // namespace service
