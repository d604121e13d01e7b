#pragma once
// The card service's command line.
#include <optional>
#include <string>
#include <vector>

#include "service/messages.h"

namespace service {

enum class ProgramMode {
  Foreground,  // cardservice [--config PATH] [--port N]
  Worker,      // --worker: the card worker (internal)
  Install,     // --install [--config PATH] [--port N] [--set KEY=VALUE]... (Windows)
  Uninstall,   // --uninstall [--keep-settings] (Windows)
  Service,     // --service [--config PATH] [--port N]: started by the service manager (Windows)
  Help,        // --help
};

struct CommandLine {
  ProgramMode mode = ProgramMode::Foreground;
  std::string configPath;   // "" : cardservice.ini beside the program
  std::optional<int> port;  // overrides the ini
  // --install's --set KEY=VALUE, in the order given: the desk's settings
  // that the installer keeps for the machine (see desk_settings.h). An
  // empty value keeps what is set.
  std::vector<std::pair<std::string, std::string>> settings;
  bool keepSettings = false;  // --uninstall --keep-settings: the service only
};

// Parses the arguments after the program's name. For an unknown or
// incomplete argument: kValueMissing, kPortOption, kUnknownArgument or
// kOneMode with the argument (UTF-8); kSetForm for a --set without
// NAME=VALUE, kOnlyWith for --set or --keep-settings without its mode.
Failure ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line);

}  // namespace service
