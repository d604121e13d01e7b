#include "tools/cardhost/diagnostics.h"

#include <windows.h>

#include "config/ini_reader.h"
#include "config/login_ini.h"
#include "include/readcard.h"
#include "logger/day_log.h"
#include "tools/cardhost/export_calls.h"
#include "tools/cardhost/file_version.h"
#include "tools/cardhost/readcard_library.h"

namespace cardhost {

namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string VersionText(const FileVersion& version) {
  if (!version.present) return "no version resource";
  std::string text = "file version " + version.version;
  if (!version.description.empty()) text += ", " + Quoted(version.description);
  return text;
}

std::string LoadFailure(DWORD error) {
  return "Windows cannot load it: error " + std::to_string(error) + ", " + SystemMessage(error);
}

class Check {
 public:
  Check(const std::string& directory, const TextOutput& output)
      : m_directory(directory), m_output(output) {}

  int Run() {
    // Loading readcard.dll creates the log directory, so look at it first.
    const bool logDirectoryExisted = Exists(logger::LogDirectory(m_directory));

    m_output.Line("cardhost --check: the files beside " + m_directory);
    m_output.Line("");
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
    if (line.size() < 18) line.resize(18, ' ');
    m_output.Line(line + text);
  }
  void Problem(const std::string& label, const std::string& text) {
    Item(label, text);
    ++m_problems;
  }

  void CheckReadcard() {
    const std::string path = m_directory + "readcard.dll";
    if (!Exists(path)) {
      Problem("readcard.dll", "NOT FOUND: the host cannot load it");
      return;
    }
    const std::string version = VersionText(ReadFileVersion(path));
    ReadcardLibrary library(path);
    if (!library.loaded()) {
      Problem("readcard.dll", "found, but " + LoadFailure(library.loadError()));
      Item("", version);
      return;
    }
    m_readcardLoaded = true;
    auto versionNumber = library.Find<READCARD_QTZ_DLL_BBH_FN>("QTZ_DLL_BBH");
    if (versionNumber == nullptr) {
      Problem("readcard.dll", "found, but it has no QTZ_DLL_BBH: not readcard.dll");
    } else {
      Item("readcard.dll", "found, QTZ_DLL_BBH answers " + std::to_string(versionNumber()));
    }
    Item("", version);
  }

  void CheckDriver() {
    const std::string path = m_directory + "SSCardDriver.dll";
    if (!Exists(path)) {
      Problem("SSCardDriver.dll", "NOT FOUND: QTZ_DKH and SBK_YKT_ICGETINFO cannot read cards");
      return;
    }
    const std::string version = VersionText(ReadFileVersion(path));
    HMODULE driver = LoadLibraryA(path.c_str());
    if (driver == nullptr) {
      Problem("SSCardDriver.dll", "found, but " + LoadFailure(GetLastError()));
    } else if (GetProcAddress(driver, "iReadCardBas") == nullptr) {
      Problem("SSCardDriver.dll",
              "found, but it does NOT export iReadCardBas: not the card reader's driver");
    } else {
      Item("SSCardDriver.dll", "found, exports iReadCardBas");
    }
    if (driver != nullptr) FreeLibrary(driver);
    Item("", version);
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
      Item("", "not created yet: readcard.dll creates it when a host loads it");
      return;
    }
    if (!Exists(directory)) {
      Problem("log directory", directory);
      Item("", "cannot be created: readcard.dll writes no log (a file named Log in");
      Item("", "the way? no permission to write in the host directory?)");
      return;
    }
    Item("log directory", directory);
    if (!directoryExisted) Item("", "created just now, as cardhost loaded readcard.dll");
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
