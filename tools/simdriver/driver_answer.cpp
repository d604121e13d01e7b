#include "tools/simdriver/driver_answer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace simdriver {

namespace {

// A basic-information record as an IC social-security card reader gives it:
// area code | social security number | card number | card identification
// code | name | card reset information | standard version | issue date |
// valid until | terminal number | device number |
// The name is GBK in the built driver.
const char kDefaultRecord[] =
    "330100|330102199003071214|A12345678|330100D15600000500A12345678B9C0D|"
    "张三|3B6C00000A2B3C4D5E6F708192A3B4C5|3.00|20200315|20300315|"
    "00000001|SIM00001|";

const char kSettingsFile[] = "SSCardDriver.txt";
constexpr std::size_t kSettingsLimit = 8192;  // larger files are cut here
constexpr std::size_t kPathLimit = 1024;

int32_t ToInteger(const char* text) {
  return static_cast<int32_t>(std::strtol(text, nullptr, 10));
}

void SetRecord(DriverAnswer& answer, const char* bytes, std::size_t length) {
  if (length > kRecordSize - 1) length = kRecordSize - 1;
  std::memcpy(answer.record, bytes, length);
  answer.record[length] = '\0';
  answer.recordLength = length;
}

// length less one final LF and then one CR.
std::size_t WithoutLineEnd(const char* text, std::size_t length) {
  if (length > 0 && text[length - 1] == '\n') --length;
  if (length > 0 && text[length - 1] == '\r') --length;
  return length;
}

// The file's first kSettingsLimit bytes into buffer; false when it cannot be
// opened.
bool ReadSettings(const char* directory, char* buffer, std::size_t& length) {
  char path[kPathLimit];
  if (std::snprintf(path, sizeof path, "%s%s", directory, kSettingsFile) >=
      static_cast<int>(sizeof path)) {
    return false;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  length = std::fread(buffer, 1, kSettingsLimit, file);
  std::fclose(file);
  return true;
}

Fault FaultNamed(const char* name) {
  struct Named {
    const char* name;
    Fault fault;
  };
  static const Named kFaults[] = {
      {"access", Fault::kAccessViolation},       {"illegal", Fault::kIllegalInstruction},
      {"divide", Fault::kDivideByZero},          {"privileged", Fault::kPrivilegedInstruction},
      {"overrun", Fault::kOverrun},
  };
  for (const Named& named : kFaults) {
    if (std::strcmp(name, named.name) == 0) return named.fault;
  }
  return Fault::kNone;
}

}  // namespace

void ApplySettingsFile(const char* text, std::size_t length, DriverAnswer& answer) {
  const char* lineEnd = static_cast<const char*>(std::memchr(text, '\n', length));
  const std::size_t firstLine = lineEnd != nullptr ? lineEnd - text : length;
  char result[32] = {};
  std::memcpy(result, text, firstLine < sizeof result - 1 ? firstLine : sizeof result - 1);
  answer.result = ToInteger(result);
  if (lineEnd == nullptr) {
    SetRecord(answer, "", 0);
    return;
  }
  const char* record = lineEnd + 1;
  SetRecord(answer, record, WithoutLineEnd(record, length - firstLine - 1));
}

void ChooseAnswer(const char* directory, DriverAnswer& answer) {
  SetRecord(answer, kDefaultRecord, std::strlen(kDefaultRecord));
  if (const char* result = std::getenv("SIMCARD_RESULT")) answer.result = ToInteger(result);
  if (const char* record = std::getenv("SIMCARD_RECORD")) {
    SetRecord(answer, record, std::strlen(record));
  }
  char settings[kSettingsLimit];
  std::size_t length = 0;
  if (ReadSettings(directory, settings, length)) ApplySettingsFile(settings, length, answer);
  const char* noWrite = std::getenv("SIMCARD_NOWRITE");
  if (noWrite != nullptr && std::strcmp(noWrite, "1") == 0) answer.writeRecord = false;
  if (const char* fill = std::getenv("SIMCARD_FILL")) {
    const int32_t count = ToInteger(fill);
    answer.fillBytes = count < 0 ? 0 : count > 1024 ? 1024 : count;
  }
  if (const char* fault = std::getenv("SIMCARD_FAULT")) answer.fault = FaultNamed(fault);
  if (const char* extra = std::getenv("SIMCARD_OVERRUN")) {
    const int32_t count = ToInteger(extra);
    answer.extraBytes = count < 0 ? 0
                        : static_cast<std::size_t>(count) > kExtraBytesLimit
                            ? kExtraBytesLimit
                            : static_cast<std::size_t>(count);
  }
  if (const char* delay = std::getenv("SIMCARD_DELAY_MS")) {
    const int32_t milliseconds = ToInteger(delay);
    answer.delayMs = milliseconds < 0 ? 0 : milliseconds;
  }
}

}  // namespace simdriver
