#include "config/readcard_ini.h"

#include "config/ini_reader.h"

namespace config {

namespace {

std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// Whole seconds in range, written as plain decimal digits.
bool ParseSeconds(const std::string& text, int& seconds) {
  if (text.empty() || text.size() > 4) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < kMinTimeoutSeconds || value > kMaxTimeoutSeconds) return false;
  seconds = value;
  return true;
}

}  // namespace

const char* IsolationName(Isolation isolation) {
  return isolation == Isolation::kProcess ? "process" : "none";
}

DriverSettings ReadDriverSettings(const std::string& path) {
  DriverSettings settings;
  IniSection section;
  ReadIniSection(path, section, "driver");
  auto isolation = section.find("isolation");
  if (isolation != section.end()) {
    const std::string value = Lowered(isolation->second);
    if (value == "process") {
      settings.isolation = Isolation::kProcess;
    } else if (value == "none") {
      settings.isolation = Isolation::kNone;
    } else {
      settings.problems.push_back(
          {"isolation", isolation->second, IsolationName(kDefaultIsolation)});
    }
  }
  auto timeout = section.find("timeout");
  if (timeout != section.end() && !ParseSeconds(timeout->second, settings.timeoutSeconds)) {
    settings.problems.push_back(
        {"timeout", timeout->second, std::to_string(kDefaultTimeoutSeconds)});
  }
  return settings;
}

}  // namespace config
