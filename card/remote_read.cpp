#include "card/remote_read.h"

#include <cstring>

#include "card/card_reader.h"
#include "card/export_guard.h"
#include "card/result_buffers.h"
#include "driver/card_driver.h"
#include "driver/driver_host_client.h"
#include "driver/driver_host_process.h"
#include "driver/dynamic_library.h"
#include "driver/guarded_call.h"
#include "logger/logger.h"
#include "host/library_path.h"
#include "host/host_directory.h"

namespace card {

namespace {

using driver::RemoteRead;
using driver::protocol::Outcome;

// What failed on the way to the driver, not in it. RecordBuffer keeps what
// it held: the driver's answer never arrived.
void LogTransportFailure(const RemoteRead& read, const std::string& program, int timeoutSeconds) {
  switch (read.status) {
    case RemoteRead::kMissing:
      logger::g_fileLogger(logger::Error) << "找不到读卡驱动进程程序：" << program;
      break;
    case RemoteRead::kCannotStart:
      logger::g_fileLogger(logger::Error)
          << "无法启动读卡驱动进程：" << program << " " << read.detail;
      break;
    case RemoteRead::kTimedOut:
      logger::g_fileLogger(logger::Error)
          << "读卡动态库" << timeoutSeconds << "秒内没有应答，已结束读卡驱动进程";
      break;
    case RemoteRead::kEnded:
      logger::g_fileLogger(logger::Error) << "读卡驱动进程意外结束： " << read.detail;
      break;
    case RemoteRead::kAnswered:
      break;
  }
}

// The driver host beside the library; natively also in readcard/ below the
// library's directory, where the Debian package puts it (not a program for
// users, so not in a directory of programs). When neither is there, the
// one beside the library is named.
std::string DriverHostProgram() {
  const std::string directory = host::LibraryDirectory();
  const std::string beside = directory + driver::kDriverHostFile;
#ifndef _WIN32
  const std::string packaged = directory + "readcard/" + driver::kDriverHostFile;
  if (!driver::ProgramFileExists(beside) && driver::ProgramFileExists(packaged)) return packaged;
#endif
  return beside;
}

}  // namespace

bool ReadCardRecordInDriverHost(int timeoutSeconds) {
  const std::string program = DriverHostProgram();
  const RemoteRead read = driver::ReadThroughDriverHost(
      program, host::HostDirectory() + driver::kCardDriverFile, RecordBuffer, timeoutSeconds);
  if (read.status != RemoteRead::kAnswered) {
    LogTransportFailure(read, program, timeoutSeconds);
    return false;
  }
  // From here on exactly what the read in this process says and logs.
  switch (read.answer.outcome) {
    case Outcome::kNotLoaded:
      driver::PrintLoadFailure();
      LogDriverNotLoaded();
      return false;
    case Outcome::kNoReadFunction:
      LogDriverCallFailure(driver::MissingFunctionText(driver::kReadCardFunction));
      return false;
    case Outcome::kCalled:
    case Outcome::kFaulted:
      break;
  }
  std::memcpy(RecordBuffer, read.answer.record.data(), kRecordBufferSize);
  driver::CallOutcome outcome;
  outcome.result = read.answer.result;
  if (read.answer.outcome == Outcome::kFaulted) {
    driver::DriverFault fault;
    fault.code = read.answer.faultCode;
    fault.address = static_cast<uintptr_t>(read.answer.faultAddress);
    fault.module = read.answer.faultModule;
    outcome.fault = fault;
  }
  return AcceptDriverAnswer(outcome);
}

}  // namespace card
