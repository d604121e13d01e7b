#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "logger/local_time.h"
#include "logger/logger.h"
#include "logger/make_directories.h"
#include "host/executable_path.h"
#include "tests/support/day_log.h"
#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/threads.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using testing_support::IsFile;
using testing_support::kLogLineEnd;
using testing_support::ReadBytes;
using testing_support::ScratchDirectory;
using testing_support::WriteBytes;

std::vector<std::string> SplitLines(const std::string& content) {
  std::vector<std::string> lines;
  std::string::size_type start = 0, end;
  while ((end = content.find('\n', start)) != std::string::npos) {
    lines.push_back(content.substr(start, end + 1 - start));
    start = end + 1;
  }
  if (start < content.size()) lines.push_back(content.substr(start));
  return lines;
}

const std::string kStamp = R"(\[\d+-\d\d-\d\d \d\d:\d\d:\d\d\])";

// The library's daily log below directory.
logger::DailyFile LogBelow(const ScratchDirectory& directory) {
  return logger::DailyFile(directory.path(), logger::kLibraryLog);
}

TEST(FileLogger, AppendsToWhatTheFileHeldAndEndsEveryLine) {
  ScratchDirectory directory;
  const std::string logDirectory = LogBelow(directory).directory();
  ASSERT_TRUE(logger::MakeDirectories(logDirectory, host::kPathSeparator, host::IsLeadByte));
  const std::string path = logDirectory + logger::LogFileNameFor(logger::LocalTimeNow());
  const std::string earlier = std::string("[earlier load]") + kLogLineEnd;
  ASSERT_TRUE(WriteBytes(path, earlier));
  {
    logger::FileLogger first(LogBelow(directory));  // a second load on the same day
    ASSERT_EQ(first.fileName(), path);
    first(logger::Error) << "one";
    logger::FileLogger second(LogBelow(directory));  // another process, same day
    second(logger::Error);
    first(logger::Error) << "two\nlines";
  }
  std::vector<std::string> lines = SplitLines(ReadBytes(path));
  ASSERT_EQ(lines.size(), 5u) << ReadBytes(path);
  EXPECT_EQ(lines[0], earlier);
  const std::string end = kLogLineEnd;
  EXPECT_TRUE(std::regex_match(lines[1], std::regex(kStamp + "\\[Error\\]\tone" + end)))
      << lines[1];
  EXPECT_TRUE(std::regex_match(lines[2], std::regex(kStamp + "\\[Error\\]\t" + end))) << lines[2];
  EXPECT_TRUE(std::regex_match(lines[3], std::regex(kStamp + "\\[Error\\]\ttwo" + end)))
      << lines[3];
  EXPECT_EQ(lines[4], "lines" + end);
}

TEST(FileLogger, CreatesAMissingFileAndItsDirectory) {
  ScratchDirectory directory;
  logger::FileLogger log(LogBelow(directory));
  const std::string path =
      LogBelow(directory).directory() + logger::LogFileNameFor(logger::LocalTimeNow());
  EXPECT_TRUE(IsFile(path));
  EXPECT_EQ(log.fileName(), path);
}

TEST(FileLogger, StaysSilentWhenItsDirectoryIsAFile) {
  ScratchDirectory directory;
  const std::string blocker = directory.path() + "Log";
  ASSERT_TRUE(WriteBytes(blocker, "not a directory"));
  {
    logger::FileLogger log(LogBelow(directory));
    log(logger::Error) << "dropped";
    log(logger::Error) << "dropped too";
  }
  EXPECT_EQ(ReadBytes(blocker), "not a directory");
}

TEST(FileLogger, LinesFromManyThreadsNeverMix) {
  constexpr int kThreads = 8;
  constexpr int kRecords = 400;
  const std::string padding(300, '#');  // long lines make mixing likely
  ScratchDirectory directory;
  std::string path;
  {
    logger::FileLogger log(LogBelow(directory));
    path = log.fileName();
    testing_support::RunOnThreads(kThreads, [&log, &padding](int t) {
      for (int r = 0; r < kRecords; ++r) {
        log(logger::Error) << "thread " << t << " record " << r << " " << padding;
      }
    });
  }

  std::vector<std::string> lines = SplitLines(ReadBytes(path));
  EXPECT_EQ(lines.size(), static_cast<size_t>(kThreads * kRecords));
  const std::regex wellFormed(kStamp + "\\[Error\\]\tthread (\\d+) record (\\d+) " + padding +
                              kLogLineEnd);
  std::set<std::pair<int, int>> seen;
  int malformed = 0;
  for (const std::string& line : lines) {
    std::smatch match;
    if (!std::regex_match(line, match, wellFormed)) {
      if (++malformed <= 3) ADD_FAILURE() << "malformed line: " << line;
      continue;
    }
    seen.insert({std::stoi(match[1]), std::stoi(match[2])});
  }
  EXPECT_EQ(malformed, 0);
  EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kRecords));
}

#ifndef _WIN32
// Two processes that loaded the library on the same day append to one file,
// each through its own FileLogger, with lines far longer than any stream
// buffer. (The Windows build is checked with two host processes under Wine,
// tests/logger/shared_log_host_test.cpp.)
TEST(FileLogger, TwoProcessesAppendingAtOnceLoseAndMixNoLine) {
  constexpr int kRecords = 200;
  const std::string padding(10000, '#');
  ScratchDirectory directory;
  const std::string path = logger::FileLogger(LogBelow(directory)).fileName();
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] == 0) {
      {
        logger::FileLogger log(LogBelow(directory));
        for (int r = 0; r < kRecords; ++r) {
          log(logger::Error) << "process " << w << " record " << r << " " << padding;
        }
      }
      _exit(0);
    }
  }
  for (pid_t writer : writers) {
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  std::vector<std::string> lines = SplitLines(ReadBytes(path));
  EXPECT_EQ(lines.size(), static_cast<size_t>(2 * kRecords));
  // The padding is checked apart: a regular expression over it would be slow.
  const std::string end = padding + "\n";
  const std::regex head(kStamp + "\\[Error\\]\tprocess (\\d) record (\\d+) ");
  std::set<std::pair<int, int>> seen;
  for (const std::string& line : lines) {
    if (line.size() < end.size() || line.compare(line.size() - end.size(), end.size(), end) != 0) {
      continue;
    }
    const std::string start = line.substr(0, line.size() - end.size());
    std::smatch match;
    if (std::regex_match(start, match, head)) {
      seen.insert({std::stoi(match[1]), std::stoi(match[2])});
    }
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(2 * kRecords));
}
#endif

}  // namespace
