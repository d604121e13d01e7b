#include "text/blanks.h"

namespace text {

std::string TrimBlanks(const std::string& text) {
  const char* const blanks = " \t";
  std::string::size_type first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  std::string::size_type last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

}  // namespace text
