#pragma once
#include <string>
#include <vector>

namespace text {

// Cuts text at every occurrence of delimiter, searched left to right without
// overlap, and returns the pieces in order as copies. Empty pieces are kept
// (so field positions never shift), except the one after a delimiter that
// ends the text. An empty text or an empty delimiter yields no pieces.
// Bytes are compared as they are; no character set is interpreted.
std::vector<std::string> split(const std::string& text, const std::string& delimiter);

}  // namespace text
