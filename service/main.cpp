// cardservice: the local card service on the desk PC. Web pages of the
// hospital's information system read cards through it over HTTP on the
// loopback address; it makes the card calls in a worker process of its own.
#include <cstdio>
#include <string>
#include <vector>

#include "service/card_calls.h"
#include "service/command_line.h"
#include "service/service_main.h"
#include "service/system_text.h"
#include "service/windows_service.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  service::CommandLine line;
  std::string error;
  if (!service::ParseCommandLine(arguments, line, error)) {
    std::fprintf(stderr, "%s",
                 service::ConsoleText("cardservice: " + error + "\n" + service::Usage()).c_str());
    return 2;
  }
  switch (line.mode) {
    case service::ProgramMode::Help:
      std::printf("%s", service::ConsoleText(service::Usage()).c_str());
      return 0;
    case service::ProgramMode::Worker:
      return service::RunCardWorker();
    case service::ProgramMode::Install:
      return service::InstallService(line);
    case service::ProgramMode::Uninstall:
      return service::UninstallService();
    case service::ProgramMode::Service:
      return service::RunUnderServiceManager(line, service::StartCardWorker);
    case service::ProgramMode::Foreground:
    default:
      return service::RunService(line, service::StartCardWorker, service::ConsoleStopHook());
  }
}
