#include "service/desk_report.h"

#include <cstdio>
#include <fstream>

#include <nlohmann/json.hpp>

#include "config/ini_reader.h"
#include "config/login_ini.h"
#include "driver/card_driver.h"
#include "driver/pe_file.h"
#include "logger/day_log.h"
#include "logger/make_directories.h"
#include "host/executable_path.h"
#include "service/messages.h"

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

DriverKind KindOf(const std::string& path) {
#ifdef _WIN32
  const driver::PeFile file = driver::ReadPeFile(path);
  if (!file.valid || !file.dll || file.machine != driver::kMachineX86)
    return DriverKind::kNot32BitDll;
  bool reads = false, simulated = false;
  for (const std::string& name : file.exports) {
    reads = reads || name == driver::kReadCardFunction;
    simulated = simulated || name == driver::kSimulatedDriverMarker;
  }
  if (!reads) return DriverKind::kNoRead;
  return simulated ? DriverKind::kSimulated : DriverKind::kReads;
#else
  (void)path;
  return DriverKind::kUnknown;
#endif
}

// Whether a file can be written in directory: a probe written and removed.
bool CanWriteIn(const std::string& directory) {
  const std::string probe = directory + "cardservice-check.tmp";
  bool written = false;
  {
    std::ofstream out(probe, std::ios::binary);
    written = static_cast<bool>(out << "check") && static_cast<bool>(out.flush());
  }
  std::remove(probe.c_str());
  return written;
}

}  // namespace

std::vector<DeskCheck> RateDesk(const DeskFacts& facts) {
  std::vector<DeskCheck> checks;
  const auto add = [&checks](const char* item, DeskRating rating, Words words) {
    checks.push_back(DeskCheck{item, rating, Say(words)});
  };
  if (!facts.library.present) add("library", DeskRating::kError, Words::kDeskNoLibrary);
  if (!facts.driver.present) {
    add("driver", DeskRating::kError, Words::kDeskNoDriver);
  } else if (facts.driverKind == DriverKind::kNot32BitDll) {
    add("driver", DeskRating::kError, Words::kDeskDriverNot32Bit);
  } else if (facts.driverKind == DriverKind::kNoRead) {
    add("driver", DeskRating::kError, Words::kDeskDriverNoRead);
  } else if (facts.driverKind == DriverKind::kSimulated) {
    add("driver", DeskRating::kWarning, Words::kDeskDriverSimulated);
  }
  if (facts.virtualCard) add("loginIni", DeskRating::kWarning, Words::kDeskVirtualCard);
  if (!facts.logWritable) add("log", DeskRating::kError, Words::kDeskLogNotWritable);
  if (!facts.writableBy.empty()) {
    if (facts.servesWritableDesk) {
      add("permissions", DeskRating::kWarning, Words::kDeskWritableServed);
    } else {
      add("permissions", DeskRating::kError, Words::kDeskWritableChecks);
    }
  }
  return checks;
}

DeskFacts GatherDeskFacts(const std::string& directory, const std::string& libraryFile,
                          const std::string& driverFile) {
  DeskFacts facts;
  facts.directory = directory;
  facts.library = FileIn(directory, libraryFile);
  facts.driver = FileIn(directory, driverFile);
  if (facts.driver.present) facts.driverKind = KindOf(directory + driverFile);
  facts.loginIni = FileIn(directory, "Login.ini");
  config::IniSection main;
  if (config::ReadIniSection(directory + "Login.ini", main, "MAIN")) {
    facts.virtualCard = config::VirtualCardSwitchedOn(main);
  }
  facts.logFile = logger::TodayLogPath(directory);
  // A directory not made yet is made as the library would make it at load.
  const std::string logDirectory = logger::LogDirectory(directory);
  facts.logWritable =
      CanWriteIn(logDirectory) ||
      (logger::MakeDirectories(logDirectory, host::kPathSeparator, host::IsLeadByte) &&
       CanWriteIn(logDirectory));
  const std::size_t size = logger::FileSize(facts.logFile);
  const std::size_t from = size > kLogTail ? size - kLogTail : 0;
  std::vector<std::string> lines = logger::SplitLines(logger::ReadFrom(facts.logFile, from));
  if (from > 0 && !lines.empty()) lines.erase(lines.begin());  // cut in the middle
  facts.logLines = logger::LastLines(lines, kLogLines);
  return facts;
}

std::string DeskJson(const DeskFacts& facts, const ToUtf8& toUtf8, const ToUtf8& pathToUtf8,
                     bool detail) {
  using json = nlohmann::ordered_json;
  auto file = [](const DeskFile& desk) {
    return json{{"file", desk.file}, {"present", desk.present}};
  };
  json lines = json::array();
  for (const std::string& line : facts.logLines) lines.push_back(toUtf8(line));
  json loginIni = file(facts.loginIni);
  loginIni["virtualCard"] = facts.virtualCard;
  json driverFile = file(facts.driver);
  static const char* const kKinds[] = {nullptr, "reads", "simulated", "noRead", "not32BitDll"};
  const char* kind = kKinds[static_cast<int>(facts.driverKind)];
  driverFile["kind"] = kind != nullptr ? json(kind) : json(nullptr);
  json checks = json::array();
  for (const DeskCheck& check : RateDesk(facts)) {
    checks.push_back({{"item", check.item},
                      {"rating", check.rating == DeskRating::kError ? "error" : "warning"},
                      {"message", check.message}});
  }
  json desk{{"service", "readcard"},
            {"version", facts.version >= 0 ? json(facts.version) : json(nullptr)}};
  if (detail) desk["directory"] = pathToUtf8(facts.directory);
  desk["checks"] = checks;
  desk["library"] = file(facts.library);
  desk["driver"] = driverFile;
  desk["loginIni"] = loginIni;
  if (detail) {
    desk["origins"] = facts.origins;
    desk["log"] = {
        {"file", pathToUtf8(facts.logFile)}, {"writable", facts.logWritable}, {"lines", lines}};
    desk["permissions"] = facts.writableBy;
  }
  return desk.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace service
