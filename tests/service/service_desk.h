#pragma once
// A desk directory for one test: a copy of a service program (with the card
// library and the simulated driver when it needs them) in a scratch
// directory, started there on a free port.
#include <memory>
#include <string>
#include <vector>

#include "tests/service/http_client.h"
#include "tests/service/service_process.h"
#include "tests/support/environment.h"
#include "tests/support/scratch_directory.h"

namespace service_test {

class ServiceDesk {
 public:
  // Copies program and each of companions into the directory under their
  // file names.
  ServiceDesk(const std::string& program, const std::vector<std::string>& companions = {});

  // Starts the program with --port and arguments; true once it answers.
  bool Start(const std::vector<std::string>& arguments = {});

  unsigned short port() const { return m_port; }
  ServiceProcess& process() { return *m_process; }
  testing_support::ScratchDirectory& directory() { return m_directory; }
  const std::string& program() const { return m_program; }

  // What the program printed (standard output and error).
  std::string Output() const;
  // The service's log of today, as written so far.
  std::string Log() const;

 private:
  testing_support::ScratchDirectory m_directory;
  std::string m_program;
  unsigned short m_port = 0;
  std::unique_ptr<ServiceProcess> m_process;
};

// The file name of path.
std::string FileName(const std::string& path);

// Where the build put a file: path itself natively; under Wine path is
// below the build directory, which holds the test program (the build
// machine's paths mean nothing to a Windows program in the emulated guest).
std::string Built(const std::string& path);

using testing_support::SetVariable;

}  // namespace service_test
