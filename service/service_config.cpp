#include "service/service_config.h"

#include <cctype>
#include <optional>

#include "service/system_text.h"
#include "service/web_origin.h"
#include "text/blanks.h"

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

}  // namespace

bool ParsePort(const std::string& text, int& port) { return ParseNumber(text, 0, 65535, port); }

Failure ParseOrigins(const std::string& value, std::vector<std::string>& origins) {
  origins.clear();
  std::string::size_type start = 0;
  // Commas (cardservice.ini) or blanks (an installer's property) between them.
  while (start <= value.size()) {
    std::string::size_type end = value.find_first_of(", \t", start);
    if (end == std::string::npos) end = value.size();
    const std::string written = text::TrimBlanks(value.substr(start, end - start));
    std::string origin = written;
    if (!origin.empty() && origin.back() == '/') origin.pop_back();
    if (!origin.empty()) {
      std::string why;
      const std::optional<std::string> normalized = NormalizeOrigin(origin, &why);
      if (!normalized) return Failure{Words::kConfigOrigin, LocalTextToUtf8(written), why};
      origins.push_back(*normalized);
    }
    start = end + 1;
  }
  return Failure{};
}

Failure ParseServiceConfig(const config::IniSection& section, ServiceConfig& config) {
  auto port = section.find("port");
  if (port != section.end() && !ParsePort(port->second, config.port)) {
    return Failure{Words::kConfigPort, LocalTextToUtf8(port->second)};
  }
  auto timeout = section.find("timeout");
  if (timeout != section.end() && !ParseNumber(timeout->second, 1, 3600, config.timeoutSeconds)) {
    return Failure{Words::kConfigTimeout, LocalTextToUtf8(timeout->second)};
  }
  auto writableDesk = section.find("writabledesk");
  if (writableDesk != section.end()) {
    if (writableDesk->second != "refuse" && writableDesk->second != "serve") {
      return Failure{Words::kConfigWritableDesk, LocalTextToUtf8(writableDesk->second)};
    }
    config.serveWritableDesk = writableDesk->second == "serve";
  }
  auto origins = section.find("origins");
  if (origins != section.end()) return ParseOrigins(origins->second, config.origins);
  return Failure{};
}

Failure ReadServiceConfig(const std::string& path, ServiceConfig& config, bool& found) {
  config::IniSection section;
  found = config::ReadIniSection(path, section, "service");
  if (!found) return Failure{};
  Failure wrong = ParseServiceConfig(section, config);
  if (wrong) wrong.file = LocalTextToUtf8(path);
  return wrong;
}

}  // namespace service
