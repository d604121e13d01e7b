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
// SIMCARD_* settings as NAME=VALUE lines, for a driver that runs in a
// process other than the one whose environment the test sets.
const char kEnvironmentFile[] = "SSCardDriver.env";
constexpr std::size_t kSettingsLimit = 8192;  // larger files are cut here
constexpr std::size_t kPathLimit = 1024;

int32_t ToInteger(const char* text) { return static_cast<int32_t>(std::strtol(text, nullptr, 10)); }

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
bool ReadSettings(const char* directory, const char* name, char* buffer, std::size_t& length) {
  char path[kPathLimit];
  if (std::snprintf(path, sizeof path, "%s%s", directory, name) >= static_cast<int>(sizeof path)) {
    return false;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  length = std::fread(buffer, 1, kSettingsLimit, file);
  std::fclose(file);
  return true;
}

// The SIMCARD_* settings: SSCardDriver.env's lines, then the environment.
class Settings {
 public:
  explicit Settings(const char* directory) {
    std::size_t length = 0;
    if (!ReadSettings(directory, kEnvironmentFile, m_text, length)) length = 0;
    if (length >= sizeof m_text) length = sizeof m_text - 1;
    m_text[length] = '\0';
    // Lines become NUL-terminated NAME=VALUE texts.
    for (std::size_t i = 0; i < length; ++i) {
      if (m_text[i] == '\n' || m_text[i] == '\r') m_text[i] = '\0';
    }
    m_length = length;
  }
  const char* Get(const char* name) const {
    const std::size_t nameLength = std::strlen(name);
    for (std::size_t at = 0; at < m_length; at += std::strlen(m_text + at) + 1) {
      const char* line = m_text + at;
      if (std::strncmp(line, name, nameLength) == 0 && line[nameLength] == '=') {
        return line + nameLength + 1;
      }
    }
    return std::getenv(name);
  }

 private:
  char m_text[kSettingsLimit + 1];
  std::size_t m_length = 0;
};

Fault FaultNamed(const char* name) {
  struct Named {
    const char* name;
    Fault fault;
  };
  static const Named kFaults[] = {
      {"access", Fault::kAccessViolation},  {"illegal", Fault::kIllegalInstruction},
      {"divide", Fault::kDivideByZero},     {"privileged", Fault::kPrivilegedInstruction},
      {"overrun", Fault::kOverrun},         {"hang", Fault::kHang},
      {"stack", Fault::kStackOverflow},     {"exit", Fault::kExit},
      {"throw", Fault::kUncaughtException},
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
  const Settings settings(directory);
  SetRecord(answer, kDefaultRecord, std::strlen(kDefaultRecord));
  if (const char* result = settings.Get("SIMCARD_RESULT")) answer.result = ToInteger(result);
  if (const char* record = settings.Get("SIMCARD_RECORD")) {
    SetRecord(answer, record, std::strlen(record));
  }
  char text[kSettingsLimit];
  std::size_t length = 0;
  if (ReadSettings(directory, kSettingsFile, text, length)) ApplySettingsFile(text, length, answer);
  const char* noWrite = settings.Get("SIMCARD_NOWRITE");
  if (noWrite != nullptr && std::strcmp(noWrite, "1") == 0) answer.writeRecord = false;
  if (const char* fill = settings.Get("SIMCARD_FILL")) {
    const int32_t count = ToInteger(fill);
    answer.fillBytes = count < 0 ? 0 : count > 1024 ? 1024 : count;
  }
  if (const char* fault = settings.Get("SIMCARD_FAULT")) answer.fault = FaultNamed(fault);
  if (const char* extra = settings.Get("SIMCARD_OVERRUN")) {
    const int32_t count = ToInteger(extra);
    answer.extraBytes = count < 0 ? 0
                        : static_cast<std::size_t>(count) > kExtraBytesLimit
                            ? kExtraBytesLimit
                            : static_cast<std::size_t>(count);
  }
  if (const char* delay = settings.Get("SIMCARD_DELAY_MS")) {
    const int32_t milliseconds = ToInteger(delay);
    answer.delayMs = milliseconds < 0 ? 0 : milliseconds;
  }
}

}  // namespace simdriver
