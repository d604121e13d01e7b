#pragma once
#include <string>

namespace text {

// text without its leading and trailing spaces and tabs (no other byte).
std::string TrimBlanks(const std::string& text);

}  // namespace text
