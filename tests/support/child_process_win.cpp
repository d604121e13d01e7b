#include "tests/support/child_process_win.h"

namespace testing_support {
namespace {

// CreateProcessA with the program quoted as the command line's first word.
bool Launch(const std::string& program, const std::string& arguments,
            const std::string& directory, BOOL inheritHandles, STARTUPINFOA& startup,
            PROCESS_INFORMATION& process) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  return CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr,
                        inheritHandles, 0, nullptr, directory.c_str(), &startup,
                        &process) != 0;
}

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
  bool started = Launch(program, arguments, directory, TRUE, startup, process);
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

HANDLE StartProgram(const std::string& program, const std::string& arguments,
                    const std::string& directory) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!Launch(program, arguments, directory, FALSE, startup, process)) return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

}  // namespace testing_support
