// cardhost: a console host program for readcard.dll (libreadcard.so on
// Linux). It loads the library as the hospital information system does,
// calls any of its exports and prints the answer; for IT staff on a
// registration PC it also checks what the library needs and shows the day's
// log.
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver/card_driver.h"
#include "logger/day_log.h"
#include "logger/log_file_name.h"
#include "host/executable_path.h"
#include "host/host_directory.h"
#include "host/readcard_home.h"
#include "tools/cardhost/diagnostics.h"
#include "tools/cardhost/export_calls.h"
#include "tools/cardhost/language.h"
#include "tools/cardhost/messages.h"
#include "tools/cardhost/readcard_library.h"
#include "tools/cardhost/text_output.h"

namespace {

using cardhost::Message;
using cardhost::Say;
using cardhost::TextOutput;

constexpr std::size_t kDefaultLogLines = 20;

// A line of the help text with this platform's names in it: the texts name
// the Windows files.
std::string WithPlatformNames(std::string line) {
  const std::pair<std::string, std::string> names[] = {
      {"readcard.dll", cardhost::kReadcardFile},
      {"SSCardDriver.dll", driver::kCardDriverFile},
      {"Log\\readcard\\", logger::LogDirectoryOf("", host::kPathSeparator)},
  };
  for (const auto& name : names) {
    if (name.first == name.second) continue;
    for (std::size_t at = line.find(name.first); at != std::string::npos;
         at = line.find(name.first, at + name.second.size())) {
      line.replace(at, name.first.size(), name.second);
    }
  }
  return line;
}

// Prints text line by line, with this platform's names in it.
void PrintLines(const std::string& text, const TextOutput& output) {
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    output.Line(
        WithPlatformNames(text.substr(start, end == std::string::npos ? end : end - start)));
    if (end == std::string::npos) return;
    start = end + 1;
  }
}

void PrintUsage(const TextOutput& output) {
  PrintLines(Say(Message::kUsageHead), output);
  for (const std::string& line : cardhost::ExportUsage()) output.Line(line);
  PrintLines(Say(Message::kUsageTail), output);
  if (host::HomeVariableApplies()) PrintLines(Say(Message::kUsageHome), output);
}

// Parses the line count of --log; false for anything but a positive number.
bool ParseCount(const std::string& text, std::size_t& count) {
  if (text.empty() || text.size() > 6 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  count = static_cast<std::size_t>(std::strtoul(text.c_str(), nullptr, 10));
  return count > 0;
}

int PrintLog(const std::string& directory, const std::vector<std::string>& arguments,
             const TextOutput& output) {
  std::size_t count = kDefaultLogLines;
  if (arguments.size() > 1 || (arguments.size() == 1 && !ParseCount(arguments[0], count))) {
    output.Line(Say(Message::kLogUsage));
    return cardhost::kUsageError;
  }
  const std::string path = logger::TodayLogPath(directory);
  const std::vector<std::string> lines = logger::SplitLines(logger::ReadFrom(path, 0));
  if (lines.empty()) {
    output.Line(Say(Message::kNothingLoggedTodayIn, {path}));
    return cardhost::kFailed;
  }
  for (const std::string& line : logger::LastLines(lines, count)) output.Line(line);
  return cardhost::kSucceeded;
}

int CallExport(const std::string& directory, const std::string& name,
               const std::vector<std::string>& arguments, const TextOutput& output) {
  if (!cardhost::ArgumentsFit(name, arguments, output)) return cardhost::kUsageError;
  const std::string logPath = logger::TodayLogPath(directory);
  const std::size_t logSize = logger::FileSize(logPath);

  const std::string dllPath = cardhost::ReadcardLocation(directory);
  cardhost::ReadcardLibrary library(dllPath);
  if (!library.loaded()) {
    output.Line(Say(Message::kCannotLoad, {dllPath, library.loadError()}));
    return cardhost::kLibraryMissing;
  }
  const int exitCode = cardhost::CallExport(library, name, arguments, output);

  // What the call wrote to the log: the reason of a failure.
  for (const std::string& line : logger::SplitLines(logger::ReadFrom(logPath, logSize))) {
    output.Line(Say(Message::kLogged, {line}));
  }
  return exitCode;
}

// --check [DIR]: the desk beside cardhost, or the one in DIR (cardhost run
// from a USB stick, say).
int Check(const std::string& ownDirectory, const std::vector<std::string>& arguments, bool json,
          const TextOutput& output) {
  if (arguments.size() > 1) {
    output.Line(Say(Message::kUnknownOption, {arguments[1]}));
    return cardhost::kUsageError;
  }
  if (arguments.empty()) return cardhost::RunCheck(ownDirectory, true, json, output);
  std::string directory = arguments[0];
  if (directory.empty() || !cardhost::PathExists(directory)) {
    output.Line(Say(Message::kCheckNoDirectory, {directory}));
    return cardhost::kUsageError;
  }
  const char last = directory.back();
  if (last != '/' && last != host::kPathSeparator) directory += host::kPathSeparator;
  return cardhost::RunCheck(directory, directory == ownDirectory, json, output);
}

}  // namespace

int main(int argc, char** argv) {
  bool utf8 = false;
  bool json = false;
  bool languageMisnamed = false;
  std::optional<cardhost::Language> language;
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument == "--utf8") {
      utf8 = true;
    } else if (argument == "--json") {
      json = true;
    } else if (argument == "--lang" || argument.compare(0, 7, "--lang=") == 0) {
      // --lang zh, or --lang=zh
      std::string name = argument.size() > 7 ? argument.substr(7) : std::string();
      if (argument == "--lang" && i + 1 < argc) name = argv[++i];
      language = cardhost::ParseLanguage(name);
      if (!language) languageMisnamed = true;
    } else {
      arguments.push_back(argument);
    }
  }
  cardhost::UseLanguage(cardhost::ChooseLanguage(language, cardhost::SystemPrefersChinese()));
  const TextOutput output(utf8);
  if (languageMisnamed) {
    output.Line(Say(Message::kLanguageUsage));
    return cardhost::kUsageError;
  }
  if (arguments.empty()) {
    PrintUsage(output);
    return cardhost::kUsageError;
  }
  const std::string command = arguments.front();
  arguments.erase(arguments.begin());
  if (command == "--help" || command == "-h" || command == "/?") {
    PrintUsage(output);
    return cardhost::kSucceeded;
  }

  const std::string directory = host::HostDirectory();
  if (command == "--check") return Check(directory, arguments, json, output);
  if (json) {
    output.Line(Say(Message::kUnknownOption, {"--json"}));
    return cardhost::kUsageError;
  }
  if (command == "--log") return PrintLog(directory, arguments, output);
  if (!command.empty() && command[0] == '-') {
    output.Line(Say(Message::kUnknownOption, {command}));
    return cardhost::kUsageError;
  }
  return CallExport(directory, command, arguments, output);
}
