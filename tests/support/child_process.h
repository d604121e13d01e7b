#pragma once
// Programs that a test starts: run to their end with what they print caught
// (RunProgram), or started and kept while the test talks to them, watches
// them or ends them (ChildProcess). Platform seam: child_process_posix.cpp
// (fork and exec), child_process_win.cpp (CreateProcess).
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// Environment changes for the child: a value sets the variable, none unsets it.
using EnvironmentChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

#ifdef _WIN32
using ExitCode = unsigned long;  // as GetExitCodeProcess gives it
#else
using ExitCode = int;
#endif

struct ProgramRun {
  ExitCode exitCode = static_cast<ExitCode>(-1);  // stays so when it did not start or was killed
  std::string output;                             // standard output and error, as bytes
};

#ifdef _WIN32
// Runs program (full path) with arguments as its command line has them after
// its name, in directory, until it ends.
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& directory);
#else
// Runs program (a full path, or a name found on PATH) with arguments, in
// directory, with this process's environment changed as given, until it ends.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& directory,
                      const EnvironmentChanges& environment = EnvironmentChanges());
#endif

// A program started and kept. Ended (and reaped) with the object if it
// still runs then, so a test that failed half-way leaves nothing running.
class ChildProcess {
 public:
  struct Options {
    std::string directory;           // where it runs; "": where this process runs
    std::string outputFile;          // its standard output and error; "": this process's
    EnvironmentChanges environment;  // this process's environment, changed so
    // Windows: no console of its own, for a program started by one that runs
    // without a console (the card worker).
    bool noConsole = false;
  };

  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const Options& options);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return m_process != 0; }
  // The system's process id; 0 when it did not start.
  unsigned long id() const { return m_id; }

  // Waits up to milliseconds for it to end: its exit code (natively
  // 128 + the signal when a signal ended it), or nothing while it still runs.
  std::optional<int> WaitExit(int milliseconds);

  // Asks it to stop (SIGTERM; on Windows it is ended with exit code 0) and
  // waits up to milliseconds for its exit code.
  std::optional<int> Stop(int milliseconds);

  // Ends it at once and waits for the system to reap it.
  void Kill();

  // Leaves it running on its own; the object forgets it.
  void Release();

 private:
  long long m_process = 0;  // pid, or the process HANDLE
  unsigned long m_id = 0;
};

}  // namespace testing_support
