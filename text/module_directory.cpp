#include "text/module_directory.h"

#include "text/executable_path.h"
#include "text/readcard_home.h"

namespace text {

std::string DirectoryOf(const std::string& path, char separator,
                        LeadBytePredicate isLeadByte) {
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

}  // namespace text

std::string GetModuleDirectory() {
  const text::HomeSetting home = text::ReadHomeSetting();
  if (home.state == text::HomeSetting::kUsed) return home.directory;
  return text::DirectoryOf(text::ExecutablePath(), text::kPathSeparator,
                           text::IsLeadByte);
}
