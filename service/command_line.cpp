#include "service/command_line.h"

#include "service/service_config.h"

#include "service/system_text.h"

#include "text/blanks.h"

namespace service {

Failure ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line) {
  line = CommandLine{};
  bool modeGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--set") {
      const std::string::size_type equals =
          hasValue ? arguments[i + 1].find('=') : std::string::npos;
      if (equals == std::string::npos || equals == 0) return Failure{Words::kSetForm};
      const std::string& value = arguments[++i];
      line.settings.emplace_back(value.substr(0, equals),
                                 text::TrimBlanks(value.substr(equals + 1)));
      continue;
    }
    if (argument == "--keep-settings") {
      line.keepSettings = true;
      continue;
    }
    if (argument == "--config" || argument == "--port") {
      if (!hasValue) return Failure{Words::kValueMissing, argument};
      const std::string& value = arguments[++i];
      if (argument == "--config") {
        line.configPath = value;
        continue;
      }
      int port = 0;
      if (!ParsePort(value, port)) {
        return Failure{Words::kPortOption, LocalTextToUtf8(value)};
      }
      line.port = port;
      continue;
    }
    ProgramMode mode;
    if (argument == "--worker") {
      mode = ProgramMode::Worker;
    } else if (argument == "--install") {
      mode = ProgramMode::Install;
    } else if (argument == "--uninstall") {
      mode = ProgramMode::Uninstall;
    } else if (argument == "--service") {
      mode = ProgramMode::Service;
    } else if (argument == "--help" || argument == "-h" || argument == "/?") {
      mode = ProgramMode::Help;
    } else {
      return Failure{Words::kUnknownArgument, LocalTextToUtf8(argument)};
    }
    if (modeGiven) return Failure{Words::kOneMode, argument};
    modeGiven = true;
    line.mode = mode;
  }
  if (!line.settings.empty() && line.mode != ProgramMode::Install) {
    return Failure{Words::kOnlyWith, "--set", "--install"};
  }
  if (line.keepSettings && line.mode != ProgramMode::Uninstall) {
    return Failure{Words::kOnlyWith, "--keep-settings", "--uninstall"};
  }
  return Failure{};
}

}  // namespace service
