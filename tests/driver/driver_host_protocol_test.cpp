// The bytes between the library and the driver host: what one side writes
// the other reads back unchanged, and what is not a message is refused.
#include "driver/driver_host_protocol.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/process_end.h"

namespace {

using namespace driver::protocol;

std::string Record(char fill) { return std::string(kRecordSize, fill); }

TEST(DriverHostProtocol, RequestsAndAnswersCrossUnchanged) {
  std::string gbkRecord = "330100|张三|A123|";
  gbkRecord.resize(kRecordSize, '\0');
  gbkRecord[kRecordSize - 1] = 'Z';  // no NUL at the end: the bytes still cross
  const Request requests[] = {
      {"C:\\Host\\SSCardDriver.dll", Record('\0')},
      {"C:\\收费处\\SSCardDriver.dll", gbkRecord},
      {std::string(kMaxPath, 'p'), Record('\xFF')},
  };
  for (const Request& request : requests) {
    SCOPED_TRACE(request.driverPath.substr(0, 40));
    const std::string bytes = EncodeRequest(request);
    ASSERT_EQ(bytes.size(), kRequestHeaderSize + request.driverPath.size() + kRecordSize);
    const std::string header = bytes.substr(0, kRequestHeaderSize);
    ASSERT_EQ(RequestPathLength(header), request.driverPath.size());
    const auto decoded = DecodeRequest(header, bytes.substr(kRequestHeaderSize));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->driverPath, request.driverPath);
    EXPECT_EQ(decoded->record, request.record);
  }

  Answer faulted;
  faulted.outcome = Outcome::kFaulted;
  faulted.result = -1;
  faulted.faultCode = 0xC0000005u;
  faulted.faultAddress = 0xFFFFF80012345678ull;  // a 64-bit address survives too
  faulted.faultModule = "SSCardDriver.dll";
  faulted.record = gbkRecord;
  Answer failed;
  failed.outcome = Outcome::kCalled;
  failed.result = -2147483647 - 1;
  failed.faultModule = std::string(kMaxModuleName, 'm');
  failed.record = Record('x');
  for (const Answer& answer : {faulted, failed}) {
    const std::string bytes = EncodeAnswer(answer);
    ASSERT_EQ(bytes.size(), kAnswerSize);
    const auto decoded = DecodeAnswer(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->outcome, answer.outcome);
    EXPECT_EQ(decoded->result, answer.result);
    EXPECT_EQ(decoded->faultCode, answer.faultCode);
    EXPECT_EQ(decoded->faultAddress, answer.faultAddress);
    EXPECT_EQ(decoded->faultModule, answer.faultModule);
    EXPECT_EQ(decoded->record, answer.record);
  }
}

TEST(DriverHostProtocol, FieldsAreLittleEndianWhateverTheBuild) {
  Answer answer;
  answer.result = 0x01020304;
  answer.record = Record('\0');
  const std::string bytes = EncodeAnswer(answer);
  EXPECT_EQ(bytes.substr(0, 4), "RCDA");
  EXPECT_EQ(bytes.substr(8, 4), std::string("\x04\x03\x02\x01", 4));
  Request request{"ab", Record('\0')};
  EXPECT_EQ(EncodeRequest(request).substr(0, 8), std::string("RCDQ\x02\0\0\0", 8));
}

TEST(DriverHostProtocol, WhatIsNotAMessageIsRefused) {
  const std::string good = EncodeAnswer(Answer{Outcome::kCalled, 0, 0, 0, "", Record('r')});
  std::string badMagic = good;
  badMagic[0] = 'X';
  std::string badOutcome = good;
  badOutcome[4] = 9;
  std::string longModule = good;
  longModule[24] = static_cast<char>((kMaxModuleName + 1) & 0xFF);
  longModule[25] = static_cast<char>((kMaxModuleName + 1) >> 8);
  const std::string answers[] = {"", good.substr(1), good + "x", badMagic, badOutcome, longModule};
  for (const std::string& bytes : answers) EXPECT_FALSE(DecodeAnswer(bytes)) << bytes.size();

  const std::string headers[] = {
      std::string("RCDQ\0\0\0\0", 8),      // no path
      std::string("RCDQ\x01\x10\0\0", 8),  // longer than any path
      std::string("RCDA\x02\0\0\0", 8),    // an answer's magic
      std::string("RCDQ\x02\0\0", 7),      // cut short
  };
  for (const std::string& header : headers) EXPECT_FALSE(RequestPathLength(header));
  const std::string header("RCDQ\x02\0\0\0", 8);
  EXPECT_FALSE(DecodeRequest(header, "ab" + Record('r').substr(1))) << "body too short";
  EXPECT_FALSE(DecodeRequest(header, std::string("a\0", 2) + Record('r'))) << "NUL in the path";
  EXPECT_TRUE(DecodeRequest(header, "ab" + Record('r')));
}

TEST(ProcessEnd, EveryEndIsNamed) {
  const struct {
    uint32_t code;
    const char* text;
  } exitCodes[] = {
      {0, "exit code 0"},
      {7, "exit code 7"},
      {0xC00000FDu, "exception 0xC00000FD stack overflow"},
      {0xE06D7363u, "exception 0xE06D7363 uncaught C++ exception"},
      {0xC0000374u, "exception 0xC0000374 heap corruption"},
      {0x80000003u, "exception 0x80000003 breakpoint"},
      {0xC0001234u, "exception 0xC0001234"},
  };
  for (const auto& c : exitCodes) EXPECT_EQ(driver::DescribeExitCode(c.code), c.text);
#ifndef _WIN32
  EXPECT_EQ(driver::DescribeWaitStatus(3 << 8), "exit code 3");
  EXPECT_EQ(driver::DescribeWaitStatus(11), "signal 11 (SIGSEGV)");
  EXPECT_EQ(driver::DescribeWaitStatus(6), "signal 6 (SIGABRT)");
  EXPECT_EQ(driver::DescribeWaitStatus(15), "signal 15");
#endif
}

}  // namespace
