#pragma once
// The card service program started as a desk PC starts it, for the tests
// over HTTP: from a desk directory, with its standard output and error
// caught in a file there, stopped the way the system stops it.
#include <optional>
#include <string>
#include <vector>

namespace service_test {

class ServiceProcess {
 public:
  // Starts program (full path) with arguments in its own directory;
  // standard output and error go to outputFile.
  ServiceProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& outputFile);
  ~ServiceProcess();  // ends the program if it still runs
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  bool started() const;

  // Waits up to milliseconds for the program to end: its exit code, or
  // nothing while it still runs.
  std::optional<int> WaitExit(int milliseconds);

  // Asks the program to stop (SIGTERM; on Windows it is ended) and waits
  // for its exit code.
  std::optional<int> Stop(int milliseconds);

 private:
  long long m_process = 0;  // pid, or the process HANDLE
};

// Waits up to milliseconds until GET /v1/status answers on port.
bool WaitUntilAnswering(unsigned short port, int milliseconds);

// Makes a copied program file runnable (POSIX; nothing to do on Windows).
void MakeRunnable(const std::string& path);

}  // namespace service_test
