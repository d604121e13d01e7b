// What the card reads make of the driver's answer: the record buffer and the
// one log record of a failed read, a crashed driver included.
#include "card/card_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "card/result_buffers.h"
#include "driver/guarded_call.h"
#include "tests/support/day_log.h"
#include "host/executable_path.h"
#include "host/host_directory.h"

namespace {

using testing_support::LogWatch;

driver::CallOutcome Answered(int32_t result) {
  driver::CallOutcome outcome;
  outcome.result = result;
  return outcome;
}

driver::CallOutcome Faulted(uint32_t code, const char* module) {
  driver::CallOutcome outcome;
  outcome.result = -1;
  driver::DriverFault fault;
  fault.code = code;
  fault.address = 0x10001000u;
  fault.module = module;
  outcome.fault = fault;
  return outcome;
}

TEST(AcceptDriverAnswer, OneRecordPerFailureAndTheBufferAsTheDriverLeftIt) {
  struct Case {
    const char* name;
    driver::CallOutcome outcome;
    bool accepted;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"success", Answered(0), true, {}},
      {"driver result 7", Answered(7), false, {"读卡失败,错误码:7 错误信息A|B|C"}},
      {"driver result -1", Answered(-1), false, {"读卡失败,错误码:-1 错误信息A|B|C"}},
      // A fault wins over whatever result the call carries.
      {"access violation",
       Faulted(0xC0000005u, "SSCardDriver.dll"),
       false,
       {"读卡函数调用异常： 0xC0000005 access violation in SSCardDriver.dll"}},
      {"divide by zero in a DLL of the driver's",
       Faulted(0xC0000094u, "ReaderPort.dll"),
       false,
       {"读卡函数调用异常： 0xC0000094 integer divide by zero in ReaderPort.dll"}},
      {"illegal instruction outside any module",
       Faulted(0xC000001Du, ""),
       false,
       {"读卡函数调用异常： 0xC000001D illegal instruction at 0x10001000"}},
  };
  const std::string logPath =
      testing_support::DayLogPath(host::HostDirectory(), host::kPathSeparator);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::memset(card::RecordBuffer, 0, card::kRecordBufferSize);
    std::strcpy(card::RecordBuffer, "A|B|C");
    LogWatch log(logPath);
    EXPECT_EQ(card::AcceptDriverAnswer(c.outcome), c.accepted);
    EXPECT_EQ(log.NewMessages(), c.messages);
    EXPECT_STREQ(card::RecordBuffer, "A|B|C");
  }
}

}  // namespace
