#include "text/split.h"

namespace text {

std::vector<std::string> split(const std::string& text, const std::string& delimiter) {
  std::vector<std::string> pieces;
  if (delimiter.empty() || text.empty()) return pieces;
  std::string::size_type position = 0;
  while (position < text.size()) {
    std::string::size_type match = text.find(delimiter, position);
    if (match == std::string::npos) {
      pieces.push_back(text.substr(position));
      break;
    }
    pieces.push_back(text.substr(position, match - position));
    position = match + delimiter.size();
  }
  return pieces;
}

}  // namespace text
