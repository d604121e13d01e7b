// Two host processes that load readcard.dll on the same day append to the
// same log file at the same time. Every record must arrive whole, on a line
// of its own: one process writes short lines, the other lines longer than
// any stream buffer, so that a line cut or written over shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

#include "pe_image.h"
#include "tests/support/child_process_win.h"
#include "tests/support/day_log.h"
#include "tests/support/emulation.h"
#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"

namespace {

// Under emulation every driver load takes most of a second: fewer records.
const int kRecordsPerProcess = testing_support::RepeatCount(1500, 100);
constexpr int kDriverTextLength = 1000;

HANDLE StartWriter(const std::string& directory, const std::string& arguments) {
  HANDLE writer =
      testing_support::StartProgram(directory + "log_writer.exe", arguments, directory);
  if (writer == nullptr) ADD_FAILURE() << "cannot start log_writer, error " << GetLastError();
  return writer;
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
    ASSERT_TRUE(CopyFileA((host::ProgramDirectory() + file).c_str(),
                          (directory + file).c_str(), FALSE))
        << file << ", error " << GetLastError();
  }
  char eventName[64];
  std::snprintf(eventName, sizeof eventName, "readcard-shared-log-%lu",
                GetCurrentProcessId());
  HANDLE start = CreateEventA(nullptr, TRUE, FALSE, eventName);
  ASSERT_NE(start, nullptr);

  // The writers inherit the driver's settings.
  SetEnvironmentVariableA("SIMCARD_RESULT", "-3");
  SetEnvironmentVariableA("SIMCARD_FILL", std::to_string(kDriverTextLength).c_str());
  const std::string arguments =
      std::string(eventName) + " " + std::to_string(kRecordsPerProcess);
  HANDLE writers[2] = {StartWriter(directory, arguments + " track"),
                       StartWriter(directory, arguments + " driver")};
  SetEnvironmentVariableA("SIMCARD_RESULT", nullptr);
  SetEnvironmentVariableA("SIMCARD_FILL", nullptr);
  ASSERT_NE(writers[0], nullptr);
  ASSERT_NE(writers[1], nullptr);
  Sleep(500);  // both have loaded the DLL and opened the day's log
  SetEvent(start);
  const DWORD waitMilliseconds = testing_support::RunningEmulated() ? 900000 : 120000;
  ASSERT_EQ(WaitForMultipleObjects(2, writers, TRUE, waitMilliseconds), WAIT_OBJECT_0);
  for (HANDLE writer : writers) {
    DWORD exitCode = 1;
    GetExitCodeProcess(writer, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(writer);
  }
  CloseHandle(start);

  const std::string log =
      testing_support::ReadBytes(testing_support::DayLogPath(directory, '\\'));
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
