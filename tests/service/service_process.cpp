#include "tests/service/service_process.h"

#include <filesystem>

namespace service_test {
namespace {

testing_support::ChildProcess::Options InItsDirectory(const std::string& program,
                                                      const std::string& outputFile) {
  testing_support::ChildProcess::Options options;
  options.directory = program.substr(0, program.find_last_of("/\\") + 1);
  options.outputFile = outputFile;
  return options;
}

}  // namespace

ServiceProcess::ServiceProcess(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& outputFile)
    : ChildProcess(program, arguments, InItsDirectory(program, outputFile)) {}

void MakeRunnable(const std::string& path) {
  using std::filesystem::perms;
  std::filesystem::permissions(path, perms::owner_exec | perms::group_exec | perms::others_exec,
                               std::filesystem::perm_options::add);
}

}  // namespace service_test
