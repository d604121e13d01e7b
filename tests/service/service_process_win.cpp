#include "tests/service/service_process.h"

#include <windows.h>

namespace service_test {

ServiceProcess::ServiceProcess(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& outputFile) {
  std::string commandLine = "\"" + program + "\"";
  for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
  const std::string directory = program.substr(0, program.rfind('\\') + 1);
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process = {};
  if (CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                     directory.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    m_process = reinterpret_cast<long long>(process.hProcess);
  }
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
}

ServiceProcess::~ServiceProcess() {
  if (m_process != 0) {
    HANDLE process = reinterpret_cast<HANDLE>(m_process);
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
  }
}

bool ServiceProcess::started() const { return m_process != 0; }

std::optional<int> ServiceProcess::WaitExit(int milliseconds) {
  if (m_process == 0) return std::nullopt;
  HANDLE process = reinterpret_cast<HANDLE>(m_process);
  if (WaitForSingleObject(process, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  m_process = 0;
  return static_cast<int>(code);
}

std::optional<int> ServiceProcess::Stop(int milliseconds) {
  if (m_process == 0) return std::nullopt;
  // The program runs without a console of its own here, so there is no
  // console control to send: it is ended, as a crash would end it.
  TerminateProcess(reinterpret_cast<HANDLE>(m_process), 0);
  return WaitExit(milliseconds);
}

void MakeRunnable(const std::string&) {}

}  // namespace service_test
