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
#include "tools/cardhost/messages.h"
#include "tools/cardhost/readcard_library.h"

namespace cardhost {

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

class Check {
 public:
  Check(const std::string& directory, const TextOutput& output)
      : m_directory(directory), m_output(output) {}

  int Run() {
    // Loading the library creates the log directory, so look at it first.
    const bool logDirectoryExisted = Exists(logger::LogDirectory(m_directory));

    m_output.Line(Say(Message::kCheckHeading, {m_directory}));
    m_output.Line("");
    CheckHome();
    CheckReadcard();
    CheckDriver();
    CheckLoginIni();
    CheckLog(logDirectoryExisted);
    m_output.Line("");
    Item(Say(Message::kLabelResult),
         m_problems == 0 ? Say(Message::kNoProblems)
                         : Say(Message::kProblems, {std::to_string(m_problems)}));
    return m_problems == 0 ? kSucceeded : kFailed;
  }

 private:
  // One line, or one for each line of text: the label in the first, padded
  // to the column of the texts (a GBK character is two bytes and two
  // columns wide, so Chinese labels line up too).
  void Item(const std::string& label, const std::string& text) {
    std::string first = label;
    for (std::size_t start = 0;;) {
      const std::size_t end = text.find('\n', start);
      std::string line = start == 0 ? first : std::string();
      line.resize(std::max<std::size_t>(line.size() + 1, 18), ' ');
      m_output.Line(line + text.substr(start, end == std::string::npos ? end : end - start));
      if (end == std::string::npos) return;
      start = end + 1;
    }
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
    const std::string value = Quoted(home.value);
    switch (home.state) {
      case text::HomeSetting::kNotSet:
        Item("READCARD_HOME", Say(Message::kHomeNotSet));
        return;
      case text::HomeSetting::kUsed:
        Item("READCARD_HOME", Say(Message::kHomeUsed, {value}));
        return;
      case text::HomeSetting::kEmpty:
        Problem("READCARD_HOME", Say(Message::kHomeEmpty, {value}));
        break;
      case text::HomeSetting::kNotAbsolute:
        Problem("READCARD_HOME", Say(Message::kHomeNotAbsolute, {value}));
        break;
      case text::HomeSetting::kNotADirectory:
        Problem("READCARD_HOME", Say(Message::kHomeNotADirectory, {value}));
        break;
    }
    Item("", Say(Message::kHomeInstead));
  }

  void CheckReadcard() {
    const std::string path = ReadcardLocation(m_directory);
    if (IsPath(path) && !Exists(path)) {
      Problem(kReadcardFile, Say(Message::kLibraryNotFound));
      return;
    }
    ReadcardLibrary library(path);
    if (!library.loaded()) {
      if (!IsPath(path)) {
        Problem(kReadcardFile, Say(Message::kLibraryNotFound));
        Item("", library.loadError());
        return;
      }
      Problem(kReadcardFile, LoadFailure(library.loadError()));
      Item("", FileDetails(path));
      return;
    }
    m_readcardLoaded = true;
    auto versionNumber = library.Find<READCARD_QTZ_DLL_BBH_FN>("QTZ_DLL_BBH");
    if (versionNumber == nullptr) {
      Problem(kReadcardFile,
              Say(Message::kFoundBut, {Say(Message::kNotTheLibrary, {kReadcardFile})}));
    } else {
      Item(kReadcardFile, Say(Message::kLibraryAnswers, {std::to_string(versionNumber())}));
    }
    Item("", FileDetails(IsPath(path) ? path : library.LoadedPath()));
  }

  void CheckDriver() {
    const char* const name = driver::kCardDriverFile;
    const std::string path = m_directory + name;
    if (!Exists(path)) {
      Problem(name, Say(Message::kDriverNotFound));
      return;
    }
    ReadcardLibrary driver(path);
    if (!driver.loaded()) {
      Problem(name, LoadFailure(driver.loadError()));
    } else if (driver.Find<void*>(driver::kReadCardFunction) == nullptr) {
      Problem(name, Say(Message::kFoundBut, {Say(Message::kDriverWithoutRead)}));
    } else {
      Item(name, Say(Message::kDriverReads));
    }
    Item("", FileDetails(path));
  }

  void CheckLoginIni() {
    const std::string path = m_directory + "Login.ini";
    if (!Exists(path)) {
      Item("Login.ini", Say(Message::kLoginIniMissing));
      return;
    }
    Item("Login.ini", Say(Message::kFound));
    IniSection main;
    ReadIniSection(path, main, "MAIN");
    auto realCard = main.find("REALCARD");
    if (realCard == main.end()) {
      Item("  [MAIN] REALCARD", Say(Message::kRealCardNotSet));
    } else if (!IsVirtualCardSwitch(realCard->second)) {
      Item("  [MAIN] REALCARD", Say(Message::kRealCardOff, {Quoted(realCard->second)}));
    } else {
      Item("  [MAIN] REALCARD", Say(Message::kRealCardOn, {Quoted(realCard->second)}));
      CheckVirtualCard(path);
    }
  }

  // The number that QTZ_DKH answers while the virtual card is on.
  void CheckVirtualCard(const std::string& path) {
    IniSection cards;
    ReadIniSection(path, cards, "QTZH");
    auto current = cards.find("CURRENT");
    if (current == cards.end()) {
      Problem("  [QTZH] CURRENT", Say(Message::kCurrentNotSet));
      return;
    }
    Item("  [QTZH] CURRENT", "= " + Quoted(current->second));
    const std::string label = "  [QTZH] " + current->second;
    auto number = cards.find(current->second);
    if (number == cards.end()) {
      Problem(label, Say(Message::kNumberNotSet, {current->second}));
      return;
    }
    Item(label, "= " + Quoted(number->second));
    Item("", Say(Message::kVirtualCardNote));
  }

  void CheckLog(bool directoryExisted) {
    const std::string directory = logger::LogDirectory(m_directory);
    if (!Exists(directory) && !m_readcardLoaded) {
      Item(Say(Message::kLabelLogDirectory), directory);
      Item("", Say(Message::kLogNotCreated, {kReadcardFile}));
      return;
    }
    if (!Exists(directory)) {
      Problem(Say(Message::kLabelLogDirectory), directory);
      Item("", Say(Message::kLogCannotBeCreated, {kReadcardFile}));
      return;
    }
    Item(Say(Message::kLabelLogDirectory), directory);
    if (!directoryExisted) {
      Item("", Say(Message::kLogCreatedNow, {kReadcardFile}));
    }
    const std::string today = logger::TodayLogPath(m_directory);
    const std::size_t lines = logger::SplitLines(logger::ReadFrom(today, 0)).size();
    Item(Say(Message::kLabelTodaysLog), today);
    Item("", lines == 0 ? Say(Message::kNothingLoggedToday)
                        : Say(Message::kLogLines, {std::to_string(lines)}));
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
