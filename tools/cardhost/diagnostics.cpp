#include "tools/cardhost/diagnostics.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include <nlohmann/json.hpp>

#include "config/ini_reader.h"
#include "config/login_ini.h"
#include "driver/card_driver.h"
#include "driver/pe_file.h"
#include "include/readcard.h"
#include "logger/day_log.h"
#include "config/readcard_ini.h"
#include "host/executable_path.h"
#include "host/host_directory.h"
#include "host/readcard_home.h"
#include "tools/cardhost/export_calls.h"
#include "tools/cardhost/file_version.h"
#include "tools/cardhost/isolation_check.h"
#include "tools/cardhost/messages.h"
#include "tools/cardhost/readcard_library.h"

namespace cardhost {

using driver::kMachineX86;
using driver::PeFile;
using driver::ReadPeFile;

namespace {

bool Exists(const std::string& path) { return PathExists(path); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string VersionText(const FileVersion& version) {
  if (!version.present) return Say(Message::kNoVersionResource);
  if (version.description.empty()) return Say(Message::kFileVersion, {version.version});
  return Say(Message::kFileVersionDescribed, {version.version, Quoted(version.description)});
}

std::string LoadFailure(const std::string& error) {
  return Say(Message::kFoundBut, {Say(Message::kSystemCannotLoad, {error})});
}

// Below a library's line: its version resource on Windows, natively the
// file that was loaded.
std::string FileDetails(const std::string& path) {
  return kFilesHaveVersions ? VersionText(ReadFileVersion(path))
                            : Say(Message::kFile, {ResolvedPath(path)});
}

// What a driver (or library) file is, for a load that failed or a missing
// function: read from its bytes, without loading it.
std::string WhyNotLoadable(const PeFile& file) {
  if (!file.valid || !file.dll) return Say(Message::kNotADll);
  if (file.machine != kMachineX86) {
    char machine[8];
    std::snprintf(machine, sizeof machine, "%X", static_cast<unsigned>(file.machine));
    return Say(Message::kNotThirtyTwoBit, {machine});
  }
  return std::string();
}

// An export that is the function under another spelling: a decorated
// stdcall name (iReadCardBas@8, _iReadCardBas@8) or another case.
std::string SpelledOtherwise(const PeFile& file, const std::string& function, bool& decorated) {
  const auto lower = [](std::string text) {
    for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return text;
  };
  for (const std::string& name : file.exports) {
    std::string plain = name;
    if (!plain.empty() && plain[0] == '_') plain.erase(0, 1);
    const std::size_t at = plain.find('@');
    decorated = at != std::string::npos;
    if (decorated) plain.erase(at);
    if (lower(plain) == lower(function) && name != function) return name;
  }
  decorated = false;
  return std::string();
}

class Check {
 public:
  Check(const std::string& directory, bool ownDirectory)
      : m_directory(directory), m_ownDirectory(ownDirectory) {}

  std::vector<CheckItem> Run() {
    // Loading the library creates the log directory, so look at it first.
    const bool logDirectoryExisted = Exists(logger::LogDirectory(m_directory));
    // One entry an item: a new check is one more line here.
    CheckHome();
    CheckReadcard();
    CheckDriver();
    CheckLoginIni();
    CheckDriverIsolation();
    CheckLog(logDirectoryExisted);
    return std::move(m_items);
  }

 private:
  void Begin(const char* id, const std::string& label) {
    m_items.push_back(CheckItem{id, label, Rating::kFine, {}, {}});
  }
  // A line of the current item: the first one carries its label.
  void Line(const std::string& text) {
    CheckItem& item = m_items.back();
    item.lines.emplace_back(item.lines.empty() ? item.label : std::string(), text);
  }
  void LabelledLine(const std::string& label, const std::string& text) {
    m_items.back().lines.emplace_back(label, text);
  }
  void Rate(Rating rating, const std::string& advice) {
    CheckItem& item = m_items.back();
    if (rating > item.rating) item.rating = rating;
    if (!advice.empty()) item.advice.push_back(advice);
  }
  void Warning(const std::string& text, const std::string& advice) {
    Line(Say(Message::kRatedWarning, {text}));
    Rate(Rating::kWarning, advice);
  }
  void Error(const std::string& text, const std::string& advice) {
    Line(Say(Message::kRatedError, {text}));
    Rate(Rating::kError, advice);
  }

  // READCARD_HOME, where the platform reads it: it decides which directory
  // all the rest is looked for in.
  void CheckHome() {
    if (!host::HomeVariableApplies()) return;
    Begin("home", "READCARD_HOME");
    const host::HomeSetting home = host::ReadHomeSetting();
    const std::string value = Quoted(home.value);
    switch (home.state) {
      case host::HomeSetting::kNotSet:
        Line(Say(Message::kHomeNotSet));
        return;
      case host::HomeSetting::kUsed:
        Line(Say(Message::kHomeUsed, {value}));
        return;
      case host::HomeSetting::kEmpty:
        Warning(Say(Message::kHomeEmpty, {value}), Say(Message::kAdviceHome));
        break;
      case host::HomeSetting::kNotAbsolute:
        Warning(Say(Message::kHomeNotAbsolute, {value}), Say(Message::kAdviceHome));
        break;
      case host::HomeSetting::kNotADirectory:
        Warning(Say(Message::kHomeNotADirectory, {value}), Say(Message::kAdviceHome));
        break;
    }
    Line(Say(Message::kHomeInstead));
  }

  void CheckReadcard() {
    Begin("library", kReadcardFile);
    const std::string path = ReadcardLocation(m_directory);
    const std::string copy = Say(Message::kAdviceCopyLibrary, {kReadcardFile});
    if (IsPath(path) && !Exists(path)) {
      Error(Say(Message::kLibraryNotFound), copy);
      return;
    }
    ReadcardLibrary library(path);
    if (!library.loaded()) {
      if (!IsPath(path)) {
        Error(Say(Message::kLibraryNotFound), copy);
        Line(library.loadError());
        return;
      }
      Error(LoadFailure(library.loadError()), copy);
      const std::string why = WhyNotLoadable(ReadPeFile(path));
      if (kFilesHaveVersions && !why.empty()) Line(why);
      Line(FileDetails(path));
      return;
    }
    m_readcardLoaded = true;
    m_libraryDirectory = host::DirectoryOf(IsPath(path) ? path : library.LoadedPath(),
                                           host::kPathSeparator, host::IsLeadByte);
    auto versionNumber = library.Find<READCARD_QTZ_DLL_BBH_FN>("QTZ_DLL_BBH");
    if (versionNumber == nullptr) {
      Error(Say(Message::kFoundBut, {Say(Message::kNotTheLibrary, {kReadcardFile})}), copy);
    } else {
      Line(Say(Message::kLibraryAnswers, {std::to_string(versionNumber())}));
    }
    Line(FileDetails(IsPath(path) ? path : library.LoadedPath()));
  }

  void CheckDriver() {
    const char* const name = driver::kCardDriverFile;
    Begin("driver", name);
    const std::string path = m_directory + name;
#ifdef _WIN32
    const std::string vendor = Say(Message::kAdviceVendorDriver);
#else
    const std::string vendor = Say(Message::kAdviceVendorDriverNative, {driver::kCardDriverFile});
#endif
    if (!Exists(path)) {
      Error(Say(Message::kDriverNotFound), vendor);
      return;
    }
    const PeFile file = kFilesHaveVersions ? ReadPeFile(path) : PeFile{};
    ReadcardLibrary driver(path);
    if (!driver.loaded()) {
      const std::string why = kFilesHaveVersions ? WhyNotLoadable(file) : std::string();
      Error(LoadFailure(driver.loadError()), why.empty() && !driver.missingModule().empty()
                                                 ? Say(Message::kAdviceMissingModule)
                                                 : vendor);
      if (!why.empty()) Line(why);
    } else if (driver.Find<void*>(driver::kReadCardFunction) == nullptr) {
      bool decorated = false;
      const std::string other = SpelledOtherwise(file, driver::kReadCardFunction, decorated);
      if (other.empty()) {
        Error(Say(Message::kFoundBut, {Say(Message::kDriverWithoutRead)}), vendor);
      } else if (decorated) {
        Error(Say(Message::kFoundBut,
                  {Say(Message::kDriverDecorated, {driver::kReadCardFunction, other})}),
              Say(Message::kAdviceDecorated));
      } else {
        Error(Say(Message::kFoundBut,
                  {Say(Message::kDriverOtherCase, {driver::kReadCardFunction, other})}),
              vendor);
      }
    } else if (driver.Find<void*>(driver::kSimulatedDriverMarker) != nullptr) {
      Line(Say(Message::kDriverReads));
      Warning(Say(Message::kDriverSimulated), vendor);
    } else {
      Line(Say(Message::kDriverReads));
    }
    Line(FileDetails(path));
  }

  void CheckLoginIni() {
    Begin("loginIni", "Login.ini");
    const std::string path = m_directory + "Login.ini";
    if (!Exists(path)) {
      Line(Say(Message::kLoginIniMissing));
      return;
    }
    Line(Say(Message::kFound));
    config::IniSection main;
    config::ReadIniSection(path, main, "MAIN");
    auto realCard = main.find("REALCARD");
    if (realCard == main.end()) {
      LabelledLine("  [MAIN] REALCARD", Say(Message::kRealCardNotSet));
    } else if (!config::IsVirtualCardSwitch(realCard->second)) {
      LabelledLine("  [MAIN] REALCARD", Say(Message::kRealCardOff, {Quoted(realCard->second)}));
    } else {
      LabelledLine(
          "  [MAIN] REALCARD",
          Say(Message::kRatedWarning, {Say(Message::kRealCardOn, {Quoted(realCard->second)})}));
      Rate(Rating::kWarning, Say(Message::kAdviceRealCard));
      CheckVirtualCard(path);
    }
  }

  // The number that QTZ_DKH answers while the virtual card is on.
  void CheckVirtualCard(const std::string& path) {
    config::IniSection cards;
    config::ReadIniSection(path, cards, "QTZH");
    auto current = cards.find("CURRENT");
    if (current == cards.end()) {
      LabelledLine("  [QTZH] CURRENT", Say(Message::kRatedError, {Say(Message::kCurrentNotSet)}));
      Rate(Rating::kError, Say(Message::kAdviceVirtualNumber));
      return;
    }
    LabelledLine("  [QTZH] CURRENT", "= " + Quoted(current->second));
    const std::string label = "  [QTZH] " + current->second;
    auto number = cards.find(current->second);
    if (number == cards.end()) {
      LabelledLine(label,
                   Say(Message::kRatedError, {Say(Message::kNumberNotSet, {current->second})}));
      Rate(Rating::kError, Say(Message::kAdviceVirtualNumber));
      return;
    }
    LabelledLine(label, "= " + Quoted(number->second));
    LabelledLine("", Say(Message::kVirtualCardNote));
  }

  // Whether a file can be written in directory: a probe written and removed.
  static bool Writable(const std::string& directory) {
    const std::string probe = directory + "cardhost-check.tmp";
    bool written = false;
    {
      std::ofstream out(probe, std::ios::binary);
      written = static_cast<bool>(out << "check") && static_cast<bool>(out.flush());
    }
    std::remove(probe.c_str());
    return written;
  }

  // readcard.ini and the driver host (tools/cardhost/isolation_check.h).
  void CheckDriverIsolation() {
    Begin("isolation", config::kReadcardIniFile);
    Line(Say(Exists(m_directory + config::kReadcardIniFile) ? Message::kFound : Message::kNotSet));
    for (const IsolationFinding& finding : CheckIsolation(m_directory, m_libraryDirectory)) {
      if (finding.problem) {
        LabelledLine(finding.label, Say(Message::kRatedError, {finding.text}));
        Rate(Rating::kError, "");
      } else {
        LabelledLine(finding.label, finding.text);
      }
    }
  }

  void CheckLog(bool directoryExisted) {
    const std::string directory = logger::LogDirectory(m_directory);
    Begin("log", Say(Message::kLabelLogDirectory));
    Line(directory);
    const std::string permission = Say(Message::kAdviceLogWritable, {directory});
    if (!Exists(directory) && (!m_readcardLoaded || !m_ownDirectory)) {
      LabelledLine("", Say(Message::kLogNotCreated, {kReadcardFile}));
      return;
    }
    if (!Exists(directory)) {
      LabelledLine("",
                   Say(Message::kRatedError, {Say(Message::kLogCannotBeCreated, {kReadcardFile})}));
      Rate(Rating::kError, permission);
      return;
    }
    if (!Writable(directory)) {
      LabelledLine("", Say(Message::kRatedError, {Say(Message::kLogNotWritable, {kReadcardFile})}));
      Rate(Rating::kError, permission);
      return;
    }
    if (!directoryExisted && m_ownDirectory) {
      LabelledLine("", Say(Message::kLogCreatedNow, {kReadcardFile}));
    }
    const std::string today = logger::TodayLogPath(m_directory);
    const std::size_t lines = logger::SplitLines(logger::ReadFrom(today, 0)).size();
    LabelledLine(Say(Message::kLabelTodaysLog), today);
    LabelledLine("", lines == 0 ? Say(Message::kNothingLoggedToday)
                                : Say(Message::kLogLines, {std::to_string(lines)}));
  }

  const std::string m_directory;
  const bool m_ownDirectory;
  std::vector<CheckItem> m_items;
  bool m_readcardLoaded = false;
  std::string m_libraryDirectory;  // where readcard.dll was loaded from
};

// One line, or one for each line of text: the label in the first, padded
// to the column of the texts (a GBK character is two bytes and two columns
// wide, so Chinese labels line up too).
void PrintItem(const std::string& label, const std::string& text, const TextOutput& output) {
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    std::string line = start == 0 ? label : std::string();
    line.resize(std::max<std::size_t>(line.size() + 1, 18), ' ');
    output.Line(line + text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return;
    start = end + 1;
  }
}

std::size_t CountRated(const std::vector<CheckItem>& items, Rating rating) {
  std::size_t count = 0;
  for (const CheckItem& item : items) count += item.rating == rating ? 1 : 0;
  return count;
}

std::string ResultText(const std::vector<CheckItem>& items) {
  const std::size_t errors = CountRated(items, Rating::kError);
  const std::size_t warnings = CountRated(items, Rating::kWarning);
  if (errors > 0) {
    return Say(Message::kResultErrors, {std::to_string(errors), std::to_string(warnings)});
  }
  if (warnings > 0) return Say(Message::kResultWarnings, {std::to_string(warnings)});
  return Say(Message::kNoProblems);
}

const char* RatingName(Rating rating) {
  switch (rating) {
    case Rating::kWarning:
      return "warning";
    case Rating::kError:
      return "error";
    case Rating::kFine:
      break;
  }
  return "fine";
}

void PrintJson(const std::string& directory, const std::vector<CheckItem>& items,
               const TextOutput& output) {
  using json = nlohmann::ordered_json;
  json list = json::array();
  Rating worst = Rating::kFine;
  for (const CheckItem& item : items) {
    json lines = json::array();
    for (const auto& line : item.lines) {
      lines.push_back(
          AnsiToUtf8(line.first.empty() ? line.second : line.first + " " + line.second));
    }
    json advice = json::array();
    for (const std::string& text : item.advice) advice.push_back(AnsiToUtf8(text));
    list.push_back({{"item", item.id},
                    {"label", AnsiToUtf8(item.label)},
                    {"rating", RatingName(item.rating)},
                    {"lines", lines},
                    {"advice", advice}});
    if (item.rating > worst) worst = item.rating;
  }
  const json check{{"directory", AnsiToUtf8(directory)},
                   {"rating", RatingName(worst)},
                   {"exitCode", CheckExitCode(items)},
                   {"result", AnsiToUtf8(ResultText(items))},
                   {"items", list}};
  output.Utf8Line(check.dump(2, ' ', false, json::error_handler_t::replace));
}

}  // namespace

std::vector<CheckItem> CheckDesk(const std::string& directory, bool ownDirectory) {
  return Check(directory, ownDirectory).Run();
}

int CheckExitCode(const std::vector<CheckItem>& items) {
  if (CountRated(items, Rating::kError) > 0) return 2;
  return CountRated(items, Rating::kWarning) > 0 ? 1 : 0;
}

int RunCheck(const std::string& directory, bool ownDirectory, bool json, const TextOutput& output) {
  const std::vector<CheckItem> items = CheckDesk(directory, ownDirectory);
  if (json) {
    PrintJson(directory, items, output);
    return CheckExitCode(items);
  }
  output.Line(Say(Message::kCheckHeading, {directory}));
  output.Line("");
  for (const CheckItem& item : items) {
    for (const auto& line : item.lines) PrintItem(line.first, line.second, output);
    for (const std::string& advice : item.advice) {
      PrintItem("", Say(Message::kAdvice, {advice}), output);
    }
  }
  output.Line("");
  PrintItem(Say(Message::kLabelResult), ResultText(items), output);
  return CheckExitCode(items);
}

}  // namespace cardhost
