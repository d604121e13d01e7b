#include "tools/simdriver/driver_answer.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

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

int32_t ToInteger(const std::string& text) {
  return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

void StripLineEnd(std::string& text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
}

bool ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

void ApplySettingsFile(const std::string& text, DriverAnswer& answer) {
  std::string::size_type lineEnd = text.find('\n');
  std::string firstLine = text.substr(0, lineEnd);
  StripLineEnd(firstLine);
  answer.result = ToInteger(firstLine);
  answer.record = lineEnd == std::string::npos ? std::string() : text.substr(lineEnd + 1);
  StripLineEnd(answer.record);
}

DriverAnswer ChooseAnswer(const std::string& directory) {
  DriverAnswer answer;
  answer.record = kDefaultRecord;
  if (const char* result = std::getenv("SIMCARD_RESULT")) answer.result = ToInteger(result);
  if (const char* record = std::getenv("SIMCARD_RECORD")) answer.record = record;
  std::string settings;
  if (ReadFile(directory + kSettingsFile, settings)) ApplySettingsFile(settings, answer);
  const char* noWrite = std::getenv("SIMCARD_NOWRITE");
  if (noWrite != nullptr && std::string(noWrite) == "1") answer.writeRecord = false;
  if (const char* fill = std::getenv("SIMCARD_FILL")) {
    answer.fillBytes = std::clamp<int32_t>(ToInteger(fill), 0, 1024);
  }
  return answer;
}

}  // namespace simdriver
