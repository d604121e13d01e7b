#include "card/card_reader.h"

#include <cstdint>
#include <cstring>
#include <exception>

#include "card/export_guard.h"
#include "card/remote_read.h"
#include "card/result_buffers.h"
#include "config/readcard_ini.h"
#include "driver/card_driver.h"
#include "driver/dynamic_library.h"
#include "driver/guarded_call.h"
#include "driver/record_area.h"
#include "logger/logger.h"
#include "host/host_directory.h"
#include "text/split.h"

namespace card {

namespace {

const char kDriverCallFailure[] = "读卡函数调用异常： ";

static_assert(driver::RecordArea::kSize == kRecordBufferSize,
              "the driver's area is RecordBuffer's stand-in");

// Has the driver read the card into a guarded area (driver/record_area.h)
// whose record starts as a copy of RecordBuffer; afterwards RecordBuffer
// holds what the area's record holds, and what the driver wrote into the
// slack behind it is dropped. So RecordBuffer ends up as if the driver had
// written it directly, also when the driver wrote nothing or faulted
// half-way, and a driver writing past the slack cannot reach the library's
// data.
driver::CallOutcome CallDriver(driver::DynamicLibrary& library) {
  driver::RecordArea area;
  if (area.data() == nullptr) {
    // No memory for the area: the driver writes RecordBuffer itself.
    return driver::ReadCardBasic(library, RecordBuffer);
  }
  std::memcpy(area.data(), RecordBuffer, kRecordBufferSize);
  const driver::CallOutcome outcome = driver::ReadCardBasic(library, area.data());
  std::memcpy(RecordBuffer, area.data(), kRecordBufferSize);
  return outcome;
}

// readcard.ini as it stands now; each value it cannot use is logged once.
config::DriverSettings CurrentDriverSettings() {
  config::DriverSettings settings =
      config::ReadDriverSettings(host::HostDirectory() + config::kReadcardIniFile);
  for (const config::DriverSettings::Problem& problem : settings.problems) {
    logger::g_fileLogger(logger::Error)
        << config::kReadcardIniFile << "设置有错误：[driver]" << problem.key << "=" << problem.value
        << "，已按默认值" << problem.usedInstead << "处理";
  }
  return settings;
}

}  // namespace

void LogDriverNotLoaded() {
  logger::g_fileLogger(logger::Error) << "无法加载读卡动态库：" << driver::kCardDriverFile;
}

void LogDriverCallFailure(const std::string& what) {
  logger::g_fileLogger(logger::Error) << kDriverCallFailure << what;
}

bool ReadCardRecord(driver::DynamicLibrary& library) {
  const config::DriverSettings settings = CurrentDriverSettings();
  if (settings.isolation == config::Isolation::kProcess) {
    return ReadCardRecordInDriverHost(settings.timeoutSeconds);
  }
  if (!library.Load(host::HostDirectory() + driver::kCardDriverFile)) {
    LogDriverNotLoaded();
    return false;
  }
  driver::CallOutcome outcome;
  try {
    outcome = CallDriver(library);
  } catch (const std::exception& error) {
    // A driver without the read function: the library is freed by the
    // binding's owner as the call unwinds.
    LogDriverCallFailure(ExceptionText(error.what()));
    return false;
  }
  return AcceptDriverAnswer(outcome);
}

bool AcceptDriverAnswer(const driver::CallOutcome& outcome) {
  // A driver may fill the whole buffer without a terminating NUL; nothing
  // after this point may read past it.
  RecordBuffer[kRecordBufferSize - 1] = '\0';
  if (outcome.fault) {
    // The driver crashed; the host goes on, and the caller frees the driver.
    LogDriverCallFailure(driver::DescribeFault(*outcome.fault));
    return false;
  }
  if (outcome.result != 0) {
    logger::g_fileLogger(logger::Error)
        << "读卡失败,错误码:" << outcome.result << " 错误信息" << RecordText();
    return false;
  }
  return true;
}

std::string RecordText() {
  const void* end = std::memchr(RecordBuffer, '\0', kRecordBufferSize);
  std::size_t length =
      end == nullptr ? kRecordBufferSize : static_cast<const char*>(end) - RecordBuffer;
  return std::string(RecordBuffer, length);
}

std::optional<std::vector<std::string>> RecordFields(std::size_t minimum) {
  std::vector<std::string> fields = text::split(RecordText(), "|");
  if (fields.size() < minimum) {
    logger::g_fileLogger(logger::Error) << "无法解析卡内容： " << RecordText();
    return std::nullopt;
  }
  return fields;
}

}  // namespace card
