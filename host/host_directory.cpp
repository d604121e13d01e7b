#include "host/host_directory.h"

#include "host/executable_path.h"
#include "host/readcard_home.h"

namespace host {

std::string DirectoryOf(const std::string& path, char separator, LeadBytePredicate isLeadByte) {
  std::string::size_type end = 0;  // one past the last separator seen
  for (std::string::size_type i = 0; i < path.size(); ++i) {
    if (path[i] == separator) {
      end = i + 1;
    } else if (isLeadByte(static_cast<unsigned char>(path[i]))) {
      ++i;  // skip the trail byte
    }
  }
  return path.substr(0, end);
}

std::string HostDirectory() {
  const HomeSetting home = ReadHomeSetting();
  if (home.state == HomeSetting::kUsed) return home.directory;
  return DirectoryOf(ExecutablePath(), kPathSeparator, IsLeadByte);
}

}  // namespace host
