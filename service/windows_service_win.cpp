// The card service under the Windows service control manager.
#include <windows.h>

#include <cstdio>
#include <string>

#include "service/system_text.h"
#include "service/windows_service.h"

namespace service {
namespace {

const wchar_t kName[] = L"cardservice";
const wchar_t kDisplayName[] = L"读卡服务 (readcard cardservice)";
const wchar_t kDescription[] =
    L"让浏览器中的医院信息系统页面通过 http://127.0.0.1 读取社保卡和磁条卡。";

// The service's state as the dispatcher reports it; the control handler
// runs on the dispatcher's thread, the service itself on ServiceMain's.
SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
SERVICE_STATUS g_status = {};
StopFunction g_stop;
CommandLine g_line;
const CardCallsFactory* g_startCards = nullptr;

void Report(DWORD state, DWORD exitCode = 0) {
  g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  g_status.dwCurrentState = state;
  g_status.dwControlsAccepted =
      state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
  g_status.dwWin32ExitCode = exitCode == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
  g_status.dwServiceSpecificExitCode = exitCode;
  // The check point counts the steps of a start or stop under way, and is 0
  // once none is.
  const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
  g_status.dwWaitHint = pending ? 10000 : 0;
  g_status.dwCheckPoint = pending ? g_status.dwCheckPoint + 1 : 0;
  SetServiceStatus(g_statusHandle, &g_status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
    Report(SERVICE_STOP_PENDING);
    if (g_stop) g_stop();
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
  g_statusHandle = RegisterServiceCtrlHandlerExW(kName, Control, nullptr);
  if (g_statusHandle == nullptr) return;
  Report(SERVICE_START_PENDING);
  const int code = RunService(g_line, *g_startCards, [](StopFunction stop) {
    g_stop = std::move(stop);
    Report(SERVICE_RUNNING);
  });
  // A non-zero code counts as a failure, so the manager restarts it.
  Report(SERVICE_STOPPED, static_cast<DWORD>(code));
}

// The reason of the last failed system call, for the person at the console.
std::string LastError(const char* what) {
  const DWORD error = GetLastError();
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, sizeof text, nullptr);
  return std::string(what) + " (" + std::to_string(error) + "): " + SystemTextToUtf8(text);
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", ConsoleText("cardservice: " + message).c_str());
  return 1;
}

std::wstring Widened(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

struct Handle {
  SC_HANDLE handle;
  ~Handle() {
    if (handle != nullptr) CloseServiceHandle(handle);
  }
};

// Restarts after 5 s, three times; the count starts over after a day.
bool SetRecovery(SC_HANDLE service) {
  SC_ACTION actions[3] = {{SC_ACTION_RESTART, 5000}, {SC_ACTION_RESTART, 5000},
                          {SC_ACTION_RESTART, 30000}};
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
  if (g_stop) g_stop();
  Sleep(2000);  // the system ends the process when this returns
  return TRUE;
}

}  // namespace

int InstallService(const CommandLine& line) {
  wchar_t program[MAX_PATH + 1] = {};
  if (GetModuleFileNameW(nullptr, program, MAX_PATH) == 0) return Fail(LastError("GetModuleFileName"));
  std::wstring command = L"\"" + std::wstring(program) + L"\" --service";
  if (!line.configPath.empty()) command += L" --config \"" + Widened(line.configPath) + L"\"";
  if (line.port) command += L" --port " + std::to_wstring(*line.port);

  Handle manager{OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE)};
  if (manager.handle == nullptr) {
    return Fail(LastError("无法打开服务管理器（需要以管理员身份运行）"));
  }
  Handle service{CreateServiceW(manager.handle, kName, kDisplayName, SERVICE_ALL_ACCESS,
                                SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr)};
  if (service.handle == nullptr && GetLastError() == ERROR_SERVICE_EXISTS) {
    // Installed before: take this program and these arguments.
    service.handle = OpenServiceW(manager.handle, kName, SERVICE_ALL_ACCESS);
    if (service.handle == nullptr ||
        !ChangeServiceConfigW(service.handle, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                              SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr, nullptr,
                              nullptr, nullptr, kDisplayName)) {
      return Fail(LastError("无法更新已注册的服务"));
    }
  }
  if (service.handle == nullptr) return Fail(LastError("无法注册服务"));
  SERVICE_DESCRIPTIONW description = {const_cast<wchar_t*>(kDescription)};
  ChangeServiceConfig2W(service.handle, SERVICE_CONFIG_DESCRIPTION, &description);
  if (!SetRecovery(service.handle)) return Fail(LastError("无法设置服务失败后的重新启动"));
  // The manager's database may be locked for a moment (while it starts
  // other services): try again for up to 10 s.
  bool started = false;
  for (int attempt = 0; attempt < 50 && !started; ++attempt) {
    started = StartServiceW(service.handle, 0, nullptr) != 0 ||
              GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
    if (!started && GetLastError() != ERROR_SERVICE_DATABASE_LOCKED) break;
    if (!started) Sleep(200);
  }
  if (!started) return Fail(LastError("服务已注册，但无法启动"));
  std::printf("cardservice: registered as the Windows service \"cardservice\" and started\n");
  return 0;
}

int UninstallService() {
  Handle manager{OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT)};
  if (manager.handle == nullptr) {
    return Fail(LastError("无法打开服务管理器（需要以管理员身份运行）"));
  }
  Handle service{OpenServiceW(manager.handle, kName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)};
  if (service.handle == nullptr) return Fail(LastError("找不到服务 cardservice"));
  SERVICE_STATUS status = {};
  if (ControlService(service.handle, SERVICE_CONTROL_STOP, &status)) {
    for (int wait = 0; wait < 100 && status.dwCurrentState != SERVICE_STOPPED; ++wait) {
      Sleep(100);
      if (!QueryServiceStatus(service.handle, &status)) break;
    }
  }
  if (!DeleteService(service.handle)) return Fail(LastError("无法删除服务"));
  std::printf("cardservice: the Windows service \"cardservice\" is stopped and removed\n");
  return 0;
}

int RunUnderServiceManager(const CommandLine& line, const CardCallsFactory& startCards) {
  g_line = line;
  g_startCards = &startCards;
  SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kName), ServiceMain}, {nullptr, nullptr}};
  if (!StartServiceCtrlDispatcherW(table)) {
    return Fail(LastError("--service 只供服务管理器使用；在前台运行时不要加它"));
  }
  return static_cast<int>(g_status.dwServiceSpecificExitCode);
}

std::function<void(StopFunction)> ConsoleStopHook() {
  return [](StopFunction stop) {
    g_stop = std::move(stop);
    SetConsoleCtrlHandler(ConsoleClosing, TRUE);
  };
}

}  // namespace service
