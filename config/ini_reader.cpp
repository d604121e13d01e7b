#include "config/ini_reader.h"

#include "text/blanks.h"

namespace config {

std::optional<std::pair<std::string, std::string>> ParseIniLine(const std::string& line) {
  if (line.empty()) return std::nullopt;
  std::string::size_type comment = line.find('#');
  if (comment == 0) return std::nullopt;
  const std::string content = line.substr(0, comment);
  std::string::size_type equals = content.find('=');
  if (equals == std::string::npos) return std::nullopt;
  std::string key = text::TrimBlanks(content.substr(0, equals));
  if (key.empty()) return std::nullopt;
  return std::make_pair(std::move(key), text::TrimBlanks(content.substr(equals + 1)));
}

void ParseIniSection(TextLines& lines, IniSection& section, const char* name) {
  section.clear();
  const std::string header = std::string("[") + (name ? name : "") + "]";
  std::string line;
  bool found = false;
  while (!found && lines.Next(line)) {
    found = line.find(header) != std::string::npos;
  }
  if (!found) return;

  while (lines.Next(line)) {
    if (line.empty()) continue;
    if (line[0] == '[') break;  // the next section, whatever its name
    auto pair = ParseIniLine(line);
    if (!pair) continue;
    // A CR that text mode left (CR CR LF, or a lone CR at the end of the
    // file) is no part of the value.
    std::string& value = pair->second;
    if (!value.empty() && value.back() == '\r') value.pop_back();
    section[pair->first] = std::move(value);
  }
}

}  // namespace config
