#include <gtest/gtest.h>

#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

#include "logger/local_time.h"
#include "logger/logger.h"
#include "tests/support/day_log.h"
#include "tests/support/files.h"
#include "tests/support/time_zone.h"

namespace {

using testing_support::FileSize;
using testing_support::kLogLineEnd;
using testing_support::ReadBytes;

struct Record {
  std::tm time;
  std::string level;
  std::string message;
};

// A logger that keeps what it is handed instead of writing it anywhere.
class RecordingLogger : public logger::BaseLogger {
 public:
  std::vector<Record> records;

 protected:
  void output(const std::tm* time, const char* levelName, const char* message) override {
    records.push_back({*time, levelName, message});
  }
};

// A logger whose destination fails the way a full disk or exhausted memory
// makes it fail: by throwing.
class ThrowingLogger : public RecordingLogger {
 public:
  bool failing = true;

 protected:
  void output(const std::tm* time, const char* levelName, const char* message) override {
    if (failing) throw std::runtime_error("destination failed");
    RecordingLogger::output(time, levelName, message);
  }
};

std::time_t Now() { return static_cast<std::time_t>(testing_support::SystemSeconds()); }

// The record lines that a record made between the two moments may carry.
std::vector<std::string> LinesBetween(std::time_t from, std::time_t to,
                                      const std::string& message) {
  std::vector<std::string> lines;
  for (std::time_t t = from; t <= to; ++t) {
    std::string line;
    logger::AppendRecordLine(line, logger::LocalTime(t), "Error", message.c_str(), kLogLineEnd);
    lines.push_back(line);
  }
  return lines;
}

TEST(LogStream, EachStatementWritesOneRecordWithItsPiecesInOrder) {
  RecordingLogger log;
  int code = -2;
  log(logger::Error) << "读卡失败,错误码:" << code;
  log(logger::Error) << std::string("节点") << 0 << " " << 1234567890;
  ASSERT_EQ(log.records.size(), 2u);
  EXPECT_EQ(log.records[0].message, "读卡失败,错误码:-2");
  EXPECT_EQ(log.records[1].message, "节点0 1234567890");
  EXPECT_EQ(log.records[0].level, "Error");
}

// Each piece as a standard output stream without flags writes it, which is
// what the record bytes have always been. (A null text, which the library
// never inserts, is skipped; a stream would drop the rest of the record.)
TEST(LogStream, WritesEveryKindOfPieceAsAStandardStreamDoes) {
  RecordingLogger log;
  const char* none = nullptr;
  log(logger::Error) << 'A' << -2147483647 - 1 << "|" << 4294967295u << "|"
                     << -9223372036854775807LL - 1 << "|" << 18446744073709551615ULL << "|"
                     << static_cast<short>(-7) << "|" << true << false << "|" << none << "end";
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].message,
            "A-2147483648|4294967295|-9223372036854775808|18446744073709551615|-7|10|end");
}

TEST(LogStream, AnEmptyRecordIsStillWritten) {
  RecordingLogger log;
  log(logger::Error);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].message, "");
}

TEST(LogStream, MessageEndsAtAnEmbeddedNul) {
  RecordingLogger log;
  log(logger::Error) << std::string("before\0after", 12) << "more";
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].message, "before");
}

TEST(LogStream, NamesEveryLevel) {
  RecordingLogger log;
  const std::pair<logger::Level, const char*> levels[] = {{logger::Debug, "Debug"},
                                                          {logger::Info, "Info"},
                                                          {logger::Warning, "Warning"},
                                                          {logger::Error, "Error"},
                                                          {logger::Fatal, "Fatal"}};
  for (const auto& level : levels) log(level.first) << "m";
  ASSERT_EQ(log.records.size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(log.records[i].level, levels[i].second);

  log(static_cast<logger::Level>(7)) << "out of range";
  ASSERT_EQ(log.records.size(), 6u);
  EXPECT_EQ(log.records[5].level, "Unknown");
}

// The card operation that logs goes on: the record is dropped, and the
// logger is usable afterwards (its mutex was released).
TEST(LogStream, ARecordThatCannotBeWrittenIsDroppedQuietly) {
  ThrowingLogger log;
  EXPECT_NO_THROW(log(logger::Error) << "lost");
  log.failing = false;
  log(logger::Error) << "kept";
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].message, "kept");
}

// Without any failing card operation yet, a record made as they make theirs.
TEST(FileLoggerGlobal, ARecordLandsAsOneLineInTheDaysFile) {
  const std::string path = logger::g_fileLogger.fileName();
  const std::uintmax_t sizeBefore = FileSize(path);
  const std::string message = "虚拟读卡[CURRENT]节点不存在";
  std::time_t before = Now();
  logger::g_fileLogger(logger::Error) << message;
  std::time_t after = Now();

  // Other test programs may log into the same file meanwhile; the record is
  // one whole line among what was added.
  std::string added = ReadBytes(path).substr(sizeBefore);
  bool found = false;
  for (const std::string& line : LinesBetween(before, after, message)) {
    std::string::size_type at = added.find(line);
    found = found || (at != std::string::npos && (at == 0 || added[at - 1] == '\n'));
  }
  EXPECT_TRUE(found) << path << " gained:\n" << added;
}

}  // namespace

namespace {

// A value whose insertion fails, as building a message fails when memory
// runs out halfway.
struct FailingPiece {};
logger::BaseLogger::LogStream& operator<<(logger::BaseLogger::LogStream&, const FailingPiece&) {
  throw std::runtime_error("no memory for the message");
}

TEST(LogStream, AStatementAbandonedByAnExceptionWritesNothing) {
  RecordingLogger logger;
  try {
    logger(logger::Error) << "读卡失败,错误码:" << FailingPiece();
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(logger.records.empty()) << "a half-built record was written";

  // A record made while another exception is already in flight is written.
  try {
    struct WritesWhileUnwinding {
      RecordingLogger& target;
      ~WritesWhileUnwinding() { target(logger::Error) << "cleanup"; }
    } guard{logger};
    throw std::runtime_error("unwinding");
  } catch (const std::runtime_error&) {
  }
  ASSERT_EQ(logger.records.size(), 1u);
  EXPECT_EQ(logger.records[0].message, "cleanup");
}

}  // namespace
