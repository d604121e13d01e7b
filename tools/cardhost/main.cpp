// cardhost: a console host program for readcard.dll (libreadcard.so on
// Linux). It loads the library as the hospital information system does,
// calls any of its exports and prints the answer; for IT staff on a
// registration PC it also checks what the library needs and shows the day's
// log.
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "driver/card_driver.h"
#include "logger/day_log.h"
#include "logger/log_file_name.h"
#include "text/executable_path.h"
#include "text/module_directory.h"
#include "text/readcard_home.h"
#include "tools/cardhost/diagnostics.h"
#include "tools/cardhost/export_calls.h"
#include "tools/cardhost/readcard_library.h"
#include "tools/cardhost/text_output.h"

namespace {

using cardhost::TextOutput;

constexpr std::size_t kDefaultLogLines = 20;

// A line of the help text with this platform's names in it: the texts name
// the Windows files.
std::string WithPlatformNames(std::string line) {
  const std::pair<std::string, std::string> names[] = {
      {"readcard.dll", cardhost::kReadcardFile},
      {"SSCardDriver.dll", driver::kCardDriverFile},
      {"Log\\readcard\\", logger::LogDirectoryOf("", text::kPathSeparator)},
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

void PrintUsage(const TextOutput& output) {
  const char* const head[] = {
      "usage: cardhost EXPORT [TRACK] [--utf8]",
      "       cardhost --check [--utf8]",
      "       cardhost --log [N] [--utf8]",
      "",
      "Run it in the host program's directory, beside readcard.dll: it loads",
      "readcard.dll, SSCardDriver.dll and Login.ini from its own directory, as",
      "the host does.",
      "",
      "EXPORT calls that export of readcard.dll and prints its return value and",
      "result texts, and what the call wrote to the log (unused arguments are 0):",
  };
  const char* const tail[] = {
      "",
      "  --check   shows whether readcard.dll, SSCardDriver.dll (with iReadCardBas)",
      "            and Login.ini are found, the virtual card settings of Login.ini",
      "            ([MAIN] REALCARD, [QTZH] CURRENT) and where the log is",
      "  --log [N] prints the last N lines (default 20) of today's log,",
      "            Log\\readcard\\qtz-YYYY-MM-DD.log",
      "  --utf8    when the output goes to a file or pipe: converts texts from",
      "            the ANSI code page (GBK) to UTF-8 (a console shows them right",
      "            without it)",
      "  --help    this text",
      "",
      "Exit code: 0 the export answered 0 (or the version), the check found no",
      "problem; 1 the export answered -1, the check found a problem, no log today;",
      "2 wrong usage; 3 readcard.dll could not be loaded.",
  };
  for (const char* line : head) output.Line(WithPlatformNames(line));
  for (const std::string& line : cardhost::ExportUsage()) output.Line(line);
  for (const char* line : tail) output.Line(WithPlatformNames(line));
  if (text::HomeVariableApplies()) {
    output.Line("");
    output.Line("READCARD_HOME: when it names a directory, Login.ini, the driver and the");
    output.Line("log are looked for there instead of beside the host program (and");
    output.Line("beside cardhost), for hosts that run under java or python3.");
  }
}

// Parses the line count of --log; false for anything but a positive number.
bool ParseCount(const std::string& text, std::size_t& count) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  count = static_cast<std::size_t>(std::strtoul(text.c_str(), nullptr, 10));
  return count > 0;
}

int PrintLog(const std::string& directory, const std::vector<std::string>& arguments,
             const TextOutput& output) {
  std::size_t count = kDefaultLogLines;
  if (arguments.size() > 1 || (arguments.size() == 1 && !ParseCount(arguments[0], count))) {
    output.Line("usage: cardhost --log [N], N a number of lines (1 to 999999)");
    return cardhost::kUsageError;
  }
  const std::string path = logger::TodayLogPath(directory);
  const std::vector<std::string> lines = logger::SplitLines(logger::ReadFrom(path, 0));
  if (lines.empty()) {
    output.Line("nothing logged today: " + path);
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
    output.Line("cannot load " + dllPath + ": " + library.loadError());
    return cardhost::kLibraryMissing;
  }
  const int exitCode = cardhost::CallExport(library, name, arguments, output);

  // What the call wrote to the log: the reason of a failure.
  for (const std::string& line : logger::SplitLines(logger::ReadFrom(logPath, logSize))) {
    output.Line("logged: " + line);
  }
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  bool utf8 = false;
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument == "--utf8") {
      utf8 = true;
    } else {
      arguments.push_back(argument);
    }
  }
  const TextOutput output(utf8);
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

  const std::string directory = GetModuleDirectory();
  if (command == "--check" && arguments.empty()) return cardhost::RunCheck(directory, output);
  if (command == "--log") return PrintLog(directory, arguments, output);
  if (!command.empty() && command[0] == '-') {
    output.Line("unknown option " + command + " (see cardhost --help)");
    return cardhost::kUsageError;
  }
  return CallExport(directory, command, arguments, output);
}
