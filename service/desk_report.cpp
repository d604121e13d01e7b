#include "service/desk_report.h"

#include <fstream>

#include <nlohmann/json.hpp>

#include "config/ini_reader.h"
#include "config/login_ini.h"
#include "logger/day_log.h"

namespace service {
namespace {

constexpr std::size_t kLogLines = 20;
// Only the end of a large day's log is read for its last lines.
constexpr std::size_t kLogTail = 16 * 1024;

bool IsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return static_cast<bool>(in);
}

DeskFile FileIn(const std::string& directory, const std::string& name) {
  return DeskFile{name, IsFile(directory + name)};
}

}  // namespace

DeskFacts GatherDeskFacts(const std::string& directory, const std::string& libraryFile,
                          const std::string& driverFile) {
  DeskFacts facts;
  facts.directory = directory;
  facts.library = FileIn(directory, libraryFile);
  facts.driver = FileIn(directory, driverFile);
  facts.loginIni = FileIn(directory, "Login.ini");
  IniSection main;
  if (ReadIniSection(directory + "Login.ini", main, "MAIN")) {
    auto realCard = main.find("REALCARD");
    facts.virtualCard = realCard != main.end() && IsVirtualCardSwitch(realCard->second);
  }
  facts.logFile = logger::TodayLogPath(directory);
  const std::size_t size = logger::FileSize(facts.logFile);
  const std::size_t from = size > kLogTail ? size - kLogTail : 0;
  std::vector<std::string> lines = logger::SplitLines(logger::ReadFrom(facts.logFile, from));
  if (from > 0 && !lines.empty()) lines.erase(lines.begin());  // cut in the middle
  facts.logLines = logger::LastLines(lines, kLogLines);
  return facts;
}

std::string DeskJson(const DeskFacts& facts, const ToUtf8& toUtf8) {
  using json = nlohmann::ordered_json;
  auto file = [](const DeskFile& desk) {
    return json{{"file", desk.file}, {"present", desk.present}};
  };
  json lines = json::array();
  for (const std::string& line : facts.logLines) lines.push_back(toUtf8(line));
  json loginIni = file(facts.loginIni);
  loginIni["virtualCard"] = facts.virtualCard;
  const json desk{{"service", "readcard"},
                  {"version", facts.version >= 0 ? json(facts.version) : json(nullptr)},
                  {"directory", toUtf8(facts.directory)},
                  {"library", file(facts.library)},
                  {"driver", file(facts.driver)},
                  {"loginIni", loginIni},
                  {"origins", facts.origins},
                  {"log", {{"file", toUtf8(facts.logFile)}, {"lines", lines}}}};
  return desk.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace service
