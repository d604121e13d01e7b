#include "service/service_config.h"

#include <cctype>

namespace service {
namespace {

// A whole decimal number in [low, high]; false for anything else.
bool ParseNumber(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 6) return false;
  int number = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    number = number * 10 + (c - '0');
  }
  if (number < low || number > high) return false;
  value = number;
  return true;
}

bool IsOrigin(const std::string& origin) {
  const std::string::size_type scheme = origin.find("://");
  if (scheme == std::string::npos) return false;
  const std::string name = origin.substr(0, scheme);
  if (name != "http" && name != "https") return false;
  const std::string rest = origin.substr(scheme + 3);
  if (rest.empty()) return false;
  for (char c : rest) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte >= 0x7F || c == '/' || c == '?' || c == '#' || c == '@') return false;
  }
  return true;
}

}  // namespace

bool ParseOrigins(const std::string& value, std::vector<std::string>& origins, std::string& error) {
  origins.clear();
  std::string::size_type start = 0;
  while (start <= value.size()) {
    std::string::size_type end = value.find(',', start);
    if (end == std::string::npos) end = value.size();
    std::string origin = TrimBlanks(value.substr(start, end - start));
    if (!origin.empty() && origin.back() == '/') origin.pop_back();
    if (!origin.empty()) {
      if (!IsOrigin(origin)) {
        error = "origins 中的 \"" + origin + "\" 不是网页来源（应为 https://主机名[:端口]）";
        return false;
      }
      origins.push_back(origin);
    }
    start = end + 1;
  }
  return true;
}

bool ParseServiceConfig(const IniSection& section, ServiceConfig& config, std::string& error) {
  auto port = section.find("port");
  if (port != section.end() && !ParseNumber(port->second, 0, 65535, config.port)) {
    error = "port 的值 \"" + port->second + "\" 不是 0 到 65535 之间的端口号";
    return false;
  }
  auto timeout = section.find("timeout");
  if (timeout != section.end() &&
      !ParseNumber(timeout->second, 1, 3600, config.timeoutSeconds)) {
    error = "timeout 的值 \"" + timeout->second + "\" 不是 1 到 3600 之间的秒数";
    return false;
  }
  auto origins = section.find("origins");
  if (origins != section.end() && !ParseOrigins(origins->second, config.origins, error)) {
    return false;
  }
  return true;
}

bool ReadServiceConfig(const std::string& path, ServiceConfig& config, bool& found,
                       std::string& error) {
  IniSection section;
  found = ReadIniSection(path, section, "service");
  if (!found) return true;
  if (!ParseServiceConfig(section, config, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace service
