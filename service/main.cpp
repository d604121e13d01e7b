// cardservice: the local card service on the desk PC. Web pages of the
// hospital's information system read cards through it over HTTP on the
// loopback address; it makes the card calls in a worker process of its own.
#include <cstdio>
#include <string>
#include <vector>

#include "service/card_calls.h"
#include "service/command_line.h"
#include "service/messages.h"
#include "service/service_main.h"
#include "service/system_text.h"
#include "service/windows_service.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  service::CommandLine line;
  const service::Language language = service::ConsoleLanguage();
  const std::string usage = service::Say(language, service::Words::kUsage);
  if (const service::Failure wrong = service::ParseCommandLine(arguments, line)) {
    std::fprintf(
        stderr, "%s",
        service::ConsoleText("cardservice: " + service::Say(language, wrong) + "\n" + usage)
            .c_str());
    return service::kExitWrongConfig;
  }
  switch (line.mode) {
    case service::ProgramMode::Help:
      std::printf("%s", service::ConsoleText(usage).c_str());
      return 0;
    case service::ProgramMode::Worker:
      return service::RunCardWorker();
    case service::ProgramMode::Install:
      return service::InstallService(line);
    case service::ProgramMode::Uninstall:
      return service::UninstallService(line.keepSettings);
    case service::ProgramMode::Service:
      return service::RunUnderServiceManager(line, service::StartCardWorker);
    case service::ProgramMode::Foreground:
    default:
      return service::RunService(line, service::StartCardWorker, service::ConsoleStopHook());
  }
}
