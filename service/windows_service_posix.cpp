// Outside Windows there is no service control manager: the system's own
// service manager (systemd, say) runs the program in the foreground.
#include <cstdio>

#include "service/messages.h"
#include "service/windows_service.h"

namespace service {
namespace {

int NotHere() {
  std::fprintf(stderr, "%s\n", Say(Words::kWindowsOnly).c_str());
  return 2;
}

}  // namespace

int InstallService(const CommandLine&) { return NotHere(); }
int UninstallService(bool) { return NotHere(); }
int RunUnderServiceManager(const CommandLine&, const CardCallsFactory&) { return NotHere(); }

// SIGINT and SIGTERM stop it; nothing more to watch.
std::function<void(StopFunction)> ConsoleStopHook() { return {}; }

}  // namespace service
