#include "tests/support/child_process.h"

#include <windows.h>

namespace testing_support {
namespace {

// CreateProcessA with the program quoted as the command line's first word.
bool Launch(const std::string& program, const std::string& arguments, const std::string& directory,
            BOOL inheritHandles, DWORD flags, STARTUPINFOA& startup, PROCESS_INFORMATION& process) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  return CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, inheritHandles, flags,
                        nullptr, directory.empty() ? nullptr : directory.c_str(), &startup,
                        &process) != 0;
}

// Each argument quoted, as the C runtime of the program splits them again.
std::string CommandLineArguments(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments)
    line += (line.empty() ? "\"" : " \"") + argument + "\"";
  return line;
}

// This process's environment changed as given while the object lives, so
// that a child started meanwhile inherits the changes.
class ChangedEnvironment {
 public:
  explicit ChangedEnvironment(const EnvironmentChanges& changes) {
    for (const auto& change : changes) {
      m_saved.emplace_back(change.first, Get(change.first));
      Set(change.first, change.second);
    }
  }
  ~ChangedEnvironment() {
    // What the child's start left as the last error outlives the restoring.
    const DWORD error = GetLastError();
    for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved) {
      Set(saved->first, saved->second);
    }
    SetLastError(error);
  }
  ChangedEnvironment(const ChangedEnvironment&) = delete;
  ChangedEnvironment& operator=(const ChangedEnvironment&) = delete;

 private:
  static std::optional<std::string> Get(const std::string& name) {
    const DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::string value(size, '\0');
    value.resize(GetEnvironmentVariableA(name.c_str(), &value[0], size));
    return value;
  }
  static void Set(const std::string& name, const std::optional<std::string>& value) {
    SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& directory) {
  ProgramRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process = {};
  bool started = Launch(program, arguments, directory, TRUE, 0, startup, process);
  CloseHandle(writeEnd);
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      run.output.append(buffer, got);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    run.exitCode = exitCode;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  return run;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const Options& options) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  HANDLE output = INVALID_HANDLE_VALUE;
  if (!options.outputFile.empty()) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    output =
        CreateFileA(options.outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  PROCESS_INFORMATION process = {};
  bool started = false;
  {
    ChangedEnvironment environment(options.environment);
    started = Launch(program, CommandLineArguments(arguments), options.directory,
                     !options.outputFile.empty(), options.noConsole ? CREATE_NO_WINDOW : 0, startup,
                     process);
  }
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  if (!started) return;
  CloseHandle(process.hThread);
  m_process = reinterpret_cast<long long>(process.hProcess);
  m_id = process.dwProcessId;
}

ChildProcess::~ChildProcess() { Kill(); }

std::optional<int> ChildProcess::WaitExit(int milliseconds) {
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

std::optional<int> ChildProcess::Stop(int milliseconds) {
  if (m_process == 0) return std::nullopt;
  // The programs run without a console of their own here, so there is no
  // console control to send: it is ended, as a crash would end it.
  TerminateProcess(reinterpret_cast<HANDLE>(m_process), 0);
  return WaitExit(milliseconds);
}

void ChildProcess::Kill() {
  if (m_process == 0) return;
  HANDLE process = reinterpret_cast<HANDLE>(m_process);
  TerminateProcess(process, 1);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);
  m_process = 0;
}

void ChildProcess::Release() {
  if (m_process != 0) CloseHandle(reinterpret_cast<HANDLE>(m_process));
  m_process = 0;
}

}  // namespace testing_support
