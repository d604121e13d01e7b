#include "tests/service/service_desk.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

#include "logger/local_time.h"
#include "host/host_directory.h"
#include "service/service_log.h"
#include "tests/support/emulation.h"
#include "tests/support/files.h"

namespace service_test {

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

std::string Built(const std::string& path) {
#ifdef _WIN32
  return host::HostDirectory() + path;
#else
  return path;
#endif
}

ServiceDesk::ServiceDesk(const std::string& program, const std::vector<std::string>& companions) {
  m_program = m_directory.Copy(Built(program), FileName(program));
  MakeRunnable(m_program);
  for (const std::string& companion : companions) {
    m_directory.Copy(Built(companion), FileName(companion));
  }
}

bool ServiceDesk::Start(const std::vector<std::string>& arguments) {
  m_port = FreePort();
  std::vector<std::string> words{"--port", std::to_string(m_port)};
  words.insert(words.end(), arguments.begin(), arguments.end());
  m_process = std::make_unique<ServiceProcess>(m_program, words, m_directory.File("output.txt"));
  return m_process->started() &&
         WaitUntilAnswering(m_port, testing_support::RepeatCount(10000, 120000));
}

std::string ServiceDesk::Output() const {
  return testing_support::ReadBytes(m_directory.File("output.txt"));
}

std::string ServiceDesk::Log() const {
  return testing_support::ReadBytes(service::ServiceLogDirectory(m_directory.path()) +
                                    service::ServiceLogFileName(logger::LocalTimeNow()));
}

}  // namespace service_test
