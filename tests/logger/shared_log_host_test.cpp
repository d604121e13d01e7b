// Two host processes that load readcard.dll on the same day append to the
// same log file at the same time. Every record must arrive whole, on a line
// of its own: one process writes short lines, the other lines longer than
// any stream buffer, so that a line cut or written over shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "pe_image.h"
#include "tests/support/child_process.h"
#include "tests/support/day_log.h"
#include "tests/support/emulation.h"
#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"

namespace {

// Under emulation every driver load takes most of a second: fewer records.
const int kRecordsPerProcess = testing_support::RepeatCount(1500, 100);
constexpr int kDriverTextLength = 1000;

// The writers run in directory, with the driver's settings for their records.
testing_support::ChildProcess::Options WriterOptions(const std::string& directory) {
  testing_support::ChildProcess::Options options;
  options.directory = directory;
  options.environment = {{"SIMCARD_RESULT", "-3"},
                         {"SIMCARD_FILL", std::to_string(kDriverTextLength)}};
  return options;
}

// The driver's text: SIMCARD_FILL bytes of "0123456789..." (the buffer
// behind them is still zero in a fresh process).
std::string DriverText() {
  std::string text;
  for (int i = 0; i < kDriverTextLength; ++i) text += static_cast<char>('0' + i % 10);
  return text;
}

TEST(SharedLog, TwoProcessesAppendingAtOnceLoseAndMixNoLine) {
  testing_support::ScratchDirectory scratch;
  const std::string& directory = scratch.path();
  for (const char* file : {"readcard.dll", "SSCardDriver.dll", "log_writer.exe"}) {
    ASSERT_TRUE(
        CopyFileA((host::ProgramDirectory() + file).c_str(), (directory + file).c_str(), FALSE))
        << file << ", error " << GetLastError();
  }
  char eventName[64];
  std::snprintf(eventName, sizeof eventName, "readcard-shared-log-%lu", GetCurrentProcessId());
  HANDLE start = CreateEventA(nullptr, TRUE, FALSE, eventName);
  ASSERT_NE(start, nullptr);

  const std::string program = directory + "log_writer.exe";
  const std::string records = std::to_string(kRecordsPerProcess);
  testing_support::ChildProcess writers[2] = {
      {program, {eventName, records, "track"}, WriterOptions(directory)},
      {program, {eventName, records, "driver"}, WriterOptions(directory)}};
  ASSERT_TRUE(writers[0].started()) << "cannot start log_writer, error " << GetLastError();
  ASSERT_TRUE(writers[1].started()) << "cannot start log_writer, error " << GetLastError();
  Sleep(500);  // both have loaded the DLL and opened the day's log
  SetEvent(start);
  const int waitMilliseconds = testing_support::RunningEmulated() ? 900000 : 120000;
  for (testing_support::ChildProcess& writer : writers) {
    const std::optional<int> exitCode = writer.WaitExit(waitMilliseconds);
    ASSERT_TRUE(exitCode.has_value()) << "a writer still runs";
    EXPECT_EQ(*exitCode, 0);
  }
  CloseHandle(start);

  const std::string log = testing_support::ReadBytes(testing_support::DayLogPath(directory, '\\'));
  const std::regex stamp(R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\])");
  const std::string trackLine = "[Error]\t磁卡号长度不正常";
  const std::string driverLine = "[Error]\t读卡失败,错误码:-3 错误信息" + DriverText();
  int trackLines = 0, driverLines = 0, broken = 0;
  std::string::size_type begin = 0, end;
  while ((end = log.find("\r\n", begin)) != std::string::npos) {
    const std::string line = log.substr(begin, end - begin);
    begin = end + 2;
    const bool stamped = line.size() > 21 && std::regex_match(line.substr(0, 21), stamp);
    if (stamped && line.substr(21) == trackLine) {
      ++trackLines;
    } else if (stamped && line.substr(21) == driverLine) {
      ++driverLines;
    } else if (++broken <= 3) {
      ADD_FAILURE() << "broken line: " << line.substr(0, 120);
    }
  }
  EXPECT_EQ(begin, log.size()) << "the file does not end with a whole line";
  EXPECT_EQ(broken, 0);
  EXPECT_EQ(trackLines, kRecordsPerProcess);
  EXPECT_EQ(driverLines, kRecordsPerProcess);
}

}  // namespace
