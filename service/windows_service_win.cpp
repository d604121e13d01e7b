// The card service under the Windows service control manager.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "logger/day_log.h"
#include "service/desk_install.h"
#include "service/event_log.h"
#include "service/machine_settings.h"
#include "service/messages.h"
#include "service/service_config.h"
#include "service/service_log.h"
#include "service/system_text.h"
#include "service/windows_service.h"
#include "service/writable_desk.h"
#include "service/windows_text.h"
#include "host/host_directory.h"

namespace service {
namespace {

// kServiceName, widened (it is ASCII).
const std::wstring kNameText(kServiceName, kServiceName + sizeof kServiceName - 1);
const wchar_t* const kName = kNameText.c_str();

// What the service shares between the dispatcher's thread (the control
// handler, the console's close handler) and the thread that runs
// RunService, in one place. The stop function reaches into RunService's
// frame: it is set once the service listens and reset, under the lock,
// before RunService returns.
struct ServiceRun {
  SERVICE_STATUS_HANDLE statusHandle = nullptr;
  SERVICE_STATUS status = {};
  CommandLine line;
  const CardCallsFactory* startCards = nullptr;
  SRWLOCK stopLock = SRWLOCK_INIT;
  StopFunction stop;
};

ServiceRun g_run;

// Hands RunService's stop function over (empty: RunService is returning).
void SetStop(StopFunction stop) {
  AcquireSRWLockExclusive(&g_run.stopLock);
  g_run.stop = std::move(stop);
  ReleaseSRWLockExclusive(&g_run.stopLock);
}

// Asks a running service to stop; nothing once RunService has returned.
void RequestStop() {
  AcquireSRWLockExclusive(&g_run.stopLock);
  if (g_run.stop) g_run.stop();  // only posts to the service's loop
  ReleaseSRWLockExclusive(&g_run.stopLock);
}

void Report(DWORD state, DWORD exitCode = 0) {
  SERVICE_STATUS& status = g_run.status;
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted =
      state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
  status.dwWin32ExitCode = exitCode == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
  status.dwServiceSpecificExitCode = exitCode;
  // The check point counts the steps of a start or stop under way, and is 0
  // once none is.
  const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
  status.dwWaitHint = pending ? 10000 : 0;
  status.dwCheckPoint = pending ? status.dwCheckPoint + 1 : 0;
  SetServiceStatus(g_run.statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
    Report(SERVICE_STOP_PENDING);
    RequestStop();
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
  g_run.statusHandle = RegisterServiceCtrlHandlerExW(kName, Control, nullptr);
  if (g_run.statusHandle == nullptr) return;
  Report(SERVICE_START_PENDING);
  const int code = RunService(g_run.line, *g_run.startCards, [](StopFunction stop) {
    const bool listening = static_cast<bool>(stop);
    SetStop(std::move(stop));
    if (listening) Report(SERVICE_RUNNING);
  });
  // A non-zero code counts as a failure, so the manager restarts it.
  Report(SERVICE_STOPPED, static_cast<DWORD>(code));
}

// The reason of the last failed system call, UTF-8.
std::string LastError() { return SystemErrorText(GetLastError()); }

// One line for the person at the console, in its language.
void Tell(const std::string& utf8) {
  std::fprintf(stderr, "%s\n", ConsoleText(utf8).c_str());
  std::fflush(stderr);
}

// words with the system's reason: the last failed call's, unless given.
int Fail(Words words, const std::string& reason = LastError()) {
  Tell("cardservice: " + Say(ConsoleLanguage(), words, {reason}));
  return 1;
}

struct Handle {
  SC_HANDLE handle;
  ~Handle() {
    if (handle != nullptr) CloseServiceHandle(handle);
  }
};

// Restarts after 5 s, three times; the count starts over after a day.
bool SetRecovery(SC_HANDLE service) {
  SC_ACTION actions[3] = {
      {SC_ACTION_RESTART, 5000}, {SC_ACTION_RESTART, 5000}, {SC_ACTION_RESTART, 30000}};
  SERVICE_FAILURE_ACTIONSW failure = {};
  failure.dwResetPeriod = 24 * 60 * 60;
  failure.cActions = 3;
  failure.lpsaActions = actions;
  if (!ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS, &failure)) return false;
  // An exit with a failure code counts as well as a crash.
  SERVICE_FAILURE_ACTIONS_FLAG flag = {TRUE};
  ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &flag);
  return true;
}

// Closing the console window, logging off or shutting down: the C runtime
// turns only Ctrl+C and Ctrl+Break into signals.
BOOL WINAPI ConsoleClosing(DWORD event) {
  if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT) {
    return FALSE;
  }
  RequestStop();
  Sleep(2000);  // the system ends the process when this returns
  return TRUE;
}

// How long --install waits for the service to report itself running or
// stopped (a slow desk's first start loads the card library and driver).
constexpr int kStartWaitSeconds = 90;

// Waits while a start or stop is under way, up to seconds; the state then.
DWORD WaitWhilePending(SC_HANDLE service, SERVICE_STATUS& status, int seconds) {
  for (int wait = 0; wait < seconds * 5; ++wait) {
    if (!QueryServiceStatus(service, &status)) return SERVICE_STOPPED;
    if (status.dwCurrentState != SERVICE_START_PENDING &&
        status.dwCurrentState != SERVICE_STOP_PENDING) {
      return status.dwCurrentState;
    }
    Sleep(200);
  }
  return status.dwCurrentState;
}

// Sends the stop control and waits up to 30 s for the service to stop,
// then up to 10 s for its process to end: the manager may tell it stopped
// while the process is still closing and holds the port that a new start
// needs.
bool StopAndWait(SC_HANDLE service, SERVICE_STATUS& status) {
  SERVICE_STATUS_PROCESS process = {};
  DWORD size = 0;
  HANDLE running = nullptr;
  if (QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&process),
                           sizeof process, &size) &&
      process.dwProcessId != 0) {
    running = OpenProcess(SYNCHRONIZE, FALSE, process.dwProcessId);
  }
  bool stopped = false;
  if (ControlService(service, SERVICE_CONTROL_STOP, &status) ||
      GetLastError() == ERROR_SERVICE_NOT_ACTIVE) {
    for (int wait = 0; wait < 150 && !stopped; ++wait) {
      if (!QueryServiceStatus(service, &status)) break;
      stopped = status.dwCurrentState == SERVICE_STOPPED;
      if (!stopped) Sleep(200);
    }
  }
  if (running != nullptr) {
    if (stopped) WaitForSingleObject(running, 10000);
    CloseHandle(running);
  }
  return stopped;
}

std::string ConfigPath(const CommandLine& line) {
  return line.configPath.empty() ? host::HostDirectory() + "cardservice.ini" : line.configPath;
}

// The installed service's settings: the machine's over cardservice.ini's
// (the order the service reads them in).
ServiceConfig InstalledConfig(const CommandLine& line) {
  ServiceConfig config;
  bool found = false;
  ReadServiceConfig(ConfigPath(line), config, found);
  config::IniSection machine;
  if (ReadMachineSettings(machine)) ParseServiceConfig(machine, config);
  return config;
}

// The port the installed service listens on: --port, else its settings'.
int ServicePort(const CommandLine& line) {
  return line.port ? *line.port : InstalledConfig(line).port;
}

// What the service says in its log when others than the administrators may
// change its folder or files, said here too: the account that installs is
// an administrator's, checked as such (the service checks again as itself).
void WarnOfWritableDesk(const CommandLine& line, Language language) {
  const std::vector<std::string> found = WritableDesk(ConfigPath(line), language);
  if (found.empty()) return;
  Tell("cardservice: " +
       WritableDeskLine(found, InstalledConfig(line).serveWritableDesk, language));
}

std::string ServiceLogPath() {
  return LocalTextToUtf8(ServiceLog(host::HostDirectory(), false).TodayPath());
}

// The last line of the service's log today (the reason it stopped), UTF-8.
std::string LastLogLine() {
  const std::vector<std::string> lines =
      logger::SplitLines(logger::ReadFrom(ServiceLog(host::HostDirectory(), false).TodayPath(), 0));
  return lines.empty() ? std::string() : lines.back();
}

}  // namespace

int InstallService(const CommandLine& line) {
  const Language language = ConsoleLanguage();
  wchar_t program[MAX_PATH + 1] = {};
  if (GetModuleFileNameW(nullptr, program, MAX_PATH) == 0) return Fail(Words::kCannotRegister);
  std::wstring command = L"\"" + std::wstring(program) + L"\" --service";
  if (!line.configPath.empty())
    command += L" --config \"" + WideFromSystem(line.configPath) + L"\"";
  if (line.port) command += L" --port " + std::to_wstring(*line.port);

  Handle manager{OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE)};
  if (manager.handle == nullptr) return Fail(Words::kNeedAdministrator);
  // A running service read its settings when it started, and holds the
  // driver that the desk's set-up may replace: it is stopped first, and
  // starts again below with the new settings (and this program, if it was
  // replaced).
  bool wasRunning = false;
  std::string notStopped;
  auto stopRunning = [&manager, &wasRunning, &notStopped] {
    Handle running{OpenServiceW(manager.handle, kName, SERVICE_STOP | SERVICE_QUERY_STATUS)};
    SERVICE_STATUS status = {};
    if (running.handle == nullptr || !QueryServiceStatus(running.handle, &status) ||
        status.dwCurrentState == SERVICE_STOPPED) {
      return;
    }
    wasRunning = true;
    if (!StopAndWait(running.handle, status)) notStopped = LastError();
  };
  if (const Failure failed = SetUpDesk(line, stopRunning)) {
    Tell("cardservice: " + Say(language, Words::kCannotSetUpDesk, {Say(language, failed)}));
    return 1;
  }
  if (!notStopped.empty()) return Fail(Words::kCannotStop, notStopped);
  if (const Failure failed = RegisterEventLogSource()) {
    Tell("cardservice: " + Say(language, failed));
    return 1;
  }
  // The service manager shows them in Chinese, as the log and the answers are.
  const std::wstring displayName = WideFromUtf8(Say(Words::kServiceDisplayName));
  std::wstring descriptionText = WideFromUtf8(Say(Words::kServiceDescription));
  Handle service{CreateServiceW(manager.handle, kName, displayName.c_str(), SERVICE_ALL_ACCESS,
                                SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr)};
  if (service.handle == nullptr && GetLastError() == ERROR_SERVICE_EXISTS) {
    // Installed before: take this program and these arguments.
    service.handle = OpenServiceW(manager.handle, kName, SERVICE_ALL_ACCESS);
    if (service.handle == nullptr ||
        !ChangeServiceConfigW(service.handle, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                              SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr, nullptr,
                              nullptr, nullptr, displayName.c_str())) {
      return Fail(Words::kCannotUpdate);
    }
  }
  if (service.handle == nullptr) return Fail(Words::kCannotRegister);
  SERVICE_DESCRIPTIONW description = {descriptionText.data()};
  ChangeServiceConfig2W(service.handle, SERVICE_CONFIG_DESCRIPTION, &description);
  if (!SetRecovery(service.handle)) return Fail(Words::kCannotSetRecovery);

  // A running service has read its settings when it started: it starts
  // again to take the new ones (and this program, if it was replaced).
  SERVICE_STATUS status = {};
  if (QueryServiceStatus(service.handle, &status) && status.dwCurrentState != SERVICE_STOPPED) {
    wasRunning = true;  // started again meanwhile (by hand, or by its recovery)
    if (!StopAndWait(service.handle, status)) return Fail(Words::kCannotStop);
  }

  // The manager's database may be locked for a moment (while it starts
  // other services): try again for up to 10 s.
  bool started = false;
  for (int attempt = 0; attempt < 50 && !started; ++attempt) {
    started = StartServiceW(service.handle, 0, nullptr) != 0 ||
              GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
    if (!started && GetLastError() != ERROR_SERVICE_DATABASE_LOCKED) break;
    if (!started) Sleep(200);
  }
  if (!started) return Fail(Words::kCannotStart);

  // The service reports itself running once it listens, or stops at once
  // when its settings or its port fail it.
  const DWORD state = WaitWhilePending(service.handle, status, kStartWaitSeconds);
  const std::string name = kServiceName;
  if (state == SERVICE_RUNNING) {
    std::printf(
        "%s\n",
        ConsoleText(Say(language, wasRunning ? Words::kRestartedRunning : Words::kInstalledRunning,
                        {name, std::to_string(ServicePort(line))}))
            .c_str());
    std::fflush(stdout);
    WarnOfWritableDesk(line, language);
    return 0;
  }
  if (state != SERVICE_STOPPED) {
    Tell(Say(language, Words::kStillStarting, {name, std::to_string(kStartWaitSeconds)}));
    Tell(Say(language, Words::kSeeServiceLog, {ServiceLogPath()}));
    return 1;
  }
  const DWORD exitCode = status.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR
                             ? status.dwServiceSpecificExitCode
                             : status.dwWin32ExitCode;
  Tell(Say(language, Words::kInstalledStopped, {name, std::to_string(exitCode)}));
  if (status.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR && exitCode == kExitWrongConfig) {
    Tell(Say(language, Words::kExitConfig));
  } else if (status.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR &&
             exitCode == kExitCannotListen) {
    Tell(Say(language, Words::kExitListen));
  } else {
    Tell(Say(language, Words::kExitOther, {std::to_string(exitCode)}));
  }
  const std::string said = LastLogLine();
  if (!said.empty()) Tell(Say(language, Words::kServiceLogSays, {said}));
  return 1;
}

int UninstallService(bool keepSettings) {
  const Language language = ConsoleLanguage();
  Handle manager{OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT)};
  if (manager.handle == nullptr) return Fail(Words::kNeedAdministrator);
  Handle service{OpenServiceW(manager.handle, kName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)};
  if (service.handle == nullptr) {
    if (GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST) return Fail(Words::kCannotUpdate);
    // What an install did for the desk goes even without the service.
    if (!keepSettings) {
      TakeDownDesk();
      RemoveEventLogSource();
    }
    Tell("cardservice: " + Say(language, Words::kNotInstalled, {kServiceName}));
    return 1;
  }
  SERVICE_STATUS status = {};
  const bool stopped = !QueryServiceStatus(service.handle, &status) ||
                       status.dwCurrentState == SERVICE_STOPPED ||
                       StopAndWait(service.handle, status);
  // Once the service and its worker have ended, the driver they had loaded
  // can go too.
  if (!keepSettings) {
    TakeDownDesk();
    RemoveEventLogSource();
  }
  if (!DeleteService(service.handle)) return Fail(Words::kCannotUpdate);
  if (!stopped) {
    Tell(Say(language, Words::kUninstalledNotStopped, {kServiceName}));
    return 1;
  }
  std::printf("%s\n", ConsoleText(Say(language, Words::kUninstalled, {kServiceName})).c_str());
  return 0;
}

int RunUnderServiceManager(const CommandLine& line, const CardCallsFactory& startCards) {
  g_run.line = line;
  g_run.startCards = &startCards;
  SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kName), ServiceMain}, {nullptr, nullptr}};
  const bool dispatched = StartServiceCtrlDispatcherW(table) != 0;
  const int code = static_cast<int>(g_run.status.dwServiceSpecificExitCode);
  g_run.line = CommandLine();
  g_run.startCards = nullptr;
  g_run.statusHandle = nullptr;
  if (!dispatched) return Fail(Words::kOnlyForManager);
  return code;
}

std::function<void(StopFunction)> ConsoleStopHook() {
  return [](StopFunction stop) {
    const bool listening = static_cast<bool>(stop);
    SetStop(std::move(stop));
    SetConsoleCtrlHandler(ConsoleClosing, listening ? TRUE : FALSE);
  };
}

}  // namespace service
