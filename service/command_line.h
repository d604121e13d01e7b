#pragma once
// The card service's command line.
#include <optional>
#include <string>
#include <vector>

namespace service {

enum class ProgramMode {
  Foreground,  // cardservice [--config PATH] [--port N]
  Worker,      // --worker: the card worker (internal)
  Install,     // --install [--config PATH] [--port N] (Windows)
  Uninstall,   // --uninstall (Windows)
  Service,     // --service [--config PATH] [--port N]: started by the service manager (Windows)
  Help,        // --help
};

struct CommandLine {
  ProgramMode mode = ProgramMode::Foreground;
  std::string configPath;      // "" : cardservice.ini beside the program
  std::optional<int> port;     // overrides the ini
};

// Parses the arguments after the program's name. False, with error in
// Chinese, for an unknown or incomplete argument.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error);

// The usage text.
std::string Usage();

}  // namespace service
