#include "logger/make_directories.h"

namespace logger {

bool MakeDirectories(const std::string& directory, char separator,
                     host::LeadBytePredicate isLeadByte, MakeDirectoryFunction makeDirectory) {
  bool made = false;
  std::string::size_type rest = 0;  // start of the part not yet made
  for (std::string::size_type i = 0; i < directory.size(); ++i) {
    if (directory[i] == separator) {
      // An empty part (a path's leading separators) names nothing to make.
      if (i > rest) made = makeDirectory(directory.substr(0, i));
      rest = i + 1;
    } else if (isLeadByte(static_cast<unsigned char>(directory[i]))) {
      ++i;  // skip the trail byte
    }
  }
  if (rest < directory.size()) made = makeDirectory(directory);
  return made;
}

}  // namespace logger
