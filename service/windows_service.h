#pragma once
// The card service as a Windows service: registered with the service control
// manager to start with the system and to be restarted after a failure.
#include "service/command_line.h"
#include "service/service_main.h"

namespace service {

// The name under which the service is registered.
constexpr char kServiceName[] = "cardservice";

// --install: applies the line's --set settings to the desk (desk_install.h),
// registers the event log's source and this program (with the line's
// --config and --port) as an automatically started service that restarts
// after a failure, and starts it, or restarts it when it runs, so that new
// settings apply. Exit code: 0 done, 1 failed (with the reason on standard
// error).
int InstallService(const CommandLine& line);

// --uninstall: stops the service and removes its registration; unless
// keepSettings (a newer version takes over), also what --install did for
// the desk and the event log's source.
int UninstallService(bool keepSettings);

// --service: runs the service under the service control manager, whose stop
// control stops it.
int RunUnderServiceManager(const CommandLine& line, const CardCallsFactory& startCards);

// For the program in the foreground: what to do once it listens so that the
// system's ways of ending a console program stop it cleanly (Windows: closing
// the console window, logging off; signals cover Ctrl+C elsewhere).
std::function<void(StopFunction)> ConsoleStopHook();

}  // namespace service
