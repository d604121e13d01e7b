#include "tools/cardhost/diagnostics.h"

#include <algorithm>

#include "config/ini_reader.h"
#include "config/login_ini.h"
#include "driver/card_driver.h"
#include "include/readcard.h"
#include "logger/day_log.h"
#include "text/readcard_home.h"
#include "tools/cardhost/export_calls.h"
#include "tools/cardhost/file_version.h"
#include "tools/cardhost/readcard_library.h"

namespace cardhost {

namespace {

bool Exists(const std::string& path) { return PathExists(path); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string VersionText(const FileVersion& version) {
  if (!version.present) return "no version resource";
  std::string text = "file version " + version.version;
  if (!version.description.empty()) text += ", " + Quoted(version.description);
  return text;
}

std::string LoadFailure(const std::string& error) {
  return "the system cannot load it: " + error;
}

// Below a library's line: its version resource on Windows, natively the
// file that was loaded.
std::string FileDetails(const std::string& path) {
  return kFilesHaveVersions ? VersionText(ReadFileVersion(path)) : "file " + ResolvedPath(path);
}

class Check {
 public:
  Check(const std::string& directory, const TextOutput& output)
      : m_directory(directory), m_output(output) {}

  int Run() {
    // Loading the library creates the log directory, so look at it first.
    const bool logDirectoryExisted = Exists(logger::LogDirectory(m_directory));

    m_output.Line("cardhost --check: the files beside " + m_directory);
    m_output.Line("");
    CheckHome();
    CheckReadcard();
    CheckDriver();
    CheckLoginIni();
    CheckLog(logDirectoryExisted);
    m_output.Line("");
    Item("result", m_problems == 0 ? std::string("no problems found")
                                   : std::to_string(m_problems) + " problem(s) found");
    return m_problems == 0 ? kSucceeded : kFailed;
  }

 private:
  void Item(const std::string& label, const std::string& text) {
    std::string line = label;
    line.resize(std::max<std::size_t>(line.size() + 1, 18), ' ');
    m_output.Line(line + text);
  }
  void Problem(const std::string& label, const std::string& text) {
    Item(label, text);
    ++m_problems;
  }

  // READCARD_HOME, where the platform reads it: it decides which directory
  // all the rest is looked for in.
  void CheckHome() {
    if (!text::HomeVariableApplies()) return;
    const text::HomeSetting home = text::ReadHomeSetting();
    const std::string value = "= " + Quoted(home.value);
    switch (home.state) {
      case text::HomeSetting::kNotSet:
        Item("READCARD_HOME", "not set: the files beside the host program are used");
        return;
      case text::HomeSetting::kUsed:
        Item("READCARD_HOME", value + ": the files there are used");
        return;
      case text::HomeSetting::kEmpty:
        Problem("READCARD_HOME", value + ": empty, IGNORED");
        break;
      case text::HomeSetting::kNotAbsolute:
        Problem("READCARD_HOME", value + ": not an absolute path, IGNORED");
        break;
      case text::HomeSetting::kNotADirectory:
        Problem("READCARD_HOME", value + ": no such directory, IGNORED");
        break;
    }
    Item("", "the files beside the host program are used instead");
  }

  void CheckReadcard() {
    const std::string path = ReadcardLocation(m_directory);
    if (IsPath(path) && !Exists(path)) {
      Problem(kReadcardFile, "NOT FOUND: the host cannot load it");
      return;
    }
    ReadcardLibrary library(path);
    if (!library.loaded()) {
      if (!IsPath(path)) {
        Problem(kReadcardFile, "NOT FOUND: the host cannot load it");
        Item("", library.loadError());
        return;
      }
      Problem(kReadcardFile, "found, but " + LoadFailure(library.loadError()));
      Item("", FileDetails(path));
      return;
    }
    m_readcardLoaded = true;
    auto versionNumber = library.Find<READCARD_QTZ_DLL_BBH_FN>("QTZ_DLL_BBH");
    if (versionNumber == nullptr) {
      Problem(kReadcardFile, std::string("found, but it has no QTZ_DLL_BBH: not ") + kReadcardFile);
    } else {
      Item(kReadcardFile, "found, QTZ_DLL_BBH answers " + std::to_string(versionNumber()));
    }
    Item("", FileDetails(IsPath(path) ? path : library.LoadedPath()));
  }

  void CheckDriver() {
    const char* const name = driver::kCardDriverFile;
    const std::string path = m_directory + name;
    if (!Exists(path)) {
      Problem(name, "NOT FOUND: QTZ_DKH and SBK_YKT_ICGETINFO cannot read cards");
      return;
    }
    ReadcardLibrary driver(path);
    if (!driver.loaded()) {
      Problem(name, "found, but " + LoadFailure(driver.loadError()));
    } else if (driver.Find<void*>(driver::kReadCardFunction) == nullptr) {
      Problem(name, "found, but it does NOT export iReadCardBas: not the card reader's driver");
    } else {
      Item(name, "found, exports iReadCardBas");
    }
    Item("", FileDetails(path));
  }

  void CheckLoginIni() {
    const std::string path = m_directory + "Login.ini";
    if (!Exists(path)) {
      Item("Login.ini", "not found: the virtual card is off, cards are read");
      return;
    }
    Item("Login.ini", "found");
    IniSection main;
    ReadIniSection(path, main, "MAIN");
    auto realCard = main.find("REALCARD");
    if (realCard == main.end()) {
      Item("  [MAIN] REALCARD", "not set: the virtual card is off, cards are read");
    } else if (!IsVirtualCardSwitch(realCard->second)) {
      Item("  [MAIN] REALCARD",
           "= " + Quoted(realCard->second) + ": the virtual card is off, cards are read");
    } else {
      Item("  [MAIN] REALCARD", "= " + Quoted(realCard->second) + ": the virtual card is ON");
      CheckVirtualCard(path);
    }
  }

  // The number that QTZ_DKH answers while the virtual card is on.
  void CheckVirtualCard(const std::string& path) {
    IniSection cards;
    ReadIniSection(path, cards, "QTZH");
    auto current = cards.find("CURRENT");
    if (current == cards.end()) {
      Problem("  [QTZH] CURRENT", "not set: QTZ_DKH fails and logs 虚拟读卡[CURRENT]节点不存在");
      return;
    }
    Item("  [QTZH] CURRENT", "= " + Quoted(current->second));
    const std::string label = "  [QTZH] " + current->second;
    auto number = cards.find(current->second);
    if (number == cards.end()) {
      Problem(label, "not set: QTZ_DKH fails and logs 虚拟读卡[" + current->second +
                         "]号IC卡设置有错误");
      return;
    }
    Item(label, "= " + Quoted(number->second));
    Item("", "NOTE: QTZ_DKH answers this number for every patient without reading");
    Item("", "the card; set REALCARD = false on a registration PC");
  }

  void CheckLog(bool directoryExisted) {
    const std::string directory = logger::LogDirectory(m_directory);
    if (!Exists(directory) && !m_readcardLoaded) {
      Item("log directory", directory);
      Item("", std::string("not created yet: ") + kReadcardFile + " creates it when a host loads it");
      return;
    }
    if (!Exists(directory)) {
      Problem("log directory", directory);
      Item("", std::string("cannot be created: ") + kReadcardFile + " writes no log (a file named Log in");
      Item("", "the way? no permission to write in the host directory?)");
      return;
    }
    Item("log directory", directory);
    if (!directoryExisted) {
      Item("", std::string("created just now, as cardhost loaded ") + kReadcardFile);
    }
    const std::string today = logger::TodayLogPath(m_directory);
    const std::size_t lines = logger::SplitLines(logger::ReadFrom(today, 0)).size();
    Item("today's log", today);
    Item("", lines == 0 ? std::string("nothing logged today")
                        : std::to_string(lines) + " line(s); cardhost --log shows the last ones");
  }

  const std::string m_directory;
  const TextOutput& m_output;
  int m_problems = 0;
  bool m_readcardLoaded = false;
};

}  // namespace

int RunCheck(const std::string& directory, const TextOutput& output) {
  return Check(directory, output).Run();
}

}  // namespace cardhost
