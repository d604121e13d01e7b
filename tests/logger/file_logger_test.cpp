#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "logger/logger.h"
#include "test_files.h"

namespace {

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

TEST(FileLogger, AppendsToWhatTheFileHeldAndEndsEveryLine) {
  logtest::TempDirectory directory;
  const std::string path = directory.path() + "qtz-2021-12-21.log";
  const std::string earlier = std::string("[earlier load]") + logtest::kLineEnd;
  logtest::WriteFile(path, earlier);
  {
    logger::FileLogger first(path);  // a second load on the same day
    first(logger::Error) << "one";
    logger::FileLogger second(path);  // another process, same day
    second(logger::Error);
    first(logger::Error) << "two\nlines";
  }
  std::vector<std::string> lines = SplitLines(logtest::ReadFile(path));
  ASSERT_EQ(lines.size(), 5u) << logtest::ReadFile(path);
  EXPECT_EQ(lines[0], earlier);
  const std::string end = logtest::kLineEnd;
  EXPECT_TRUE(std::regex_match(lines[1], std::regex(kStamp + "\\[Error\\]\tone" + end)))
      << lines[1];
  EXPECT_TRUE(std::regex_match(lines[2], std::regex(kStamp + "\\[Error\\]\t" + end)))
      << lines[2];
  EXPECT_TRUE(std::regex_match(lines[3], std::regex(kStamp + "\\[Error\\]\ttwo" + end)))
      << lines[3];
  EXPECT_EQ(lines[4], "lines" + end);
}

TEST(FileLogger, CreatesAMissingFile) {
  logtest::TempDirectory directory;
  const std::string path = directory.path() + "new.log";
  logger::FileLogger log(path);
  EXPECT_TRUE(logtest::IsFile(path));
  EXPECT_EQ(log.fileName(), path);
}

TEST(FileLogger, StaysSilentWhenItsDirectoryIsAFile) {
  logtest::TempDirectory directory;
  const std::string blocker = directory.path() + "Log";
  logtest::WriteFile(blocker, "not a directory");
  const std::string path = blocker + "/readcard/qtz-2021-12-21.log";
  {
    logger::FileLogger log(path);
    log(logger::Error) << "dropped";
    log(logger::Error) << "dropped too";
  }
  EXPECT_EQ(logtest::ReadFile(blocker), "not a directory");
}

TEST(FileLogger, LinesFromManyThreadsNeverMix) {
  constexpr int kThreads = 8;
  constexpr int kRecords = 400;
  const std::string padding(300, '#');  // long lines make mixing likely
  logtest::TempDirectory directory;
  const std::string path = directory.path() + "threads.log";
  {
    logger::FileLogger log(path);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&log, &padding, t] {
        for (int r = 0; r < kRecords; ++r) {
          log(logger::Error) << "thread " << t << " record " << r << " " << padding;
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
  }

  std::vector<std::string> lines = SplitLines(logtest::ReadFile(path));
  EXPECT_EQ(lines.size(), static_cast<size_t>(kThreads * kRecords));
  const std::regex wellFormed(kStamp + "\\[Error\\]\tthread (\\d+) record (\\d+) " +
                              padding + logtest::kLineEnd);
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

}  // namespace
