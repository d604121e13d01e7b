#pragma once
// Text between the system's ANSI code page, in which the card library and
// the driver answer and log (GBK on the desk PCs), and UTF-8, in which the
// card service speaks JSON. Platform seam: code_page_win.cpp (the system's
// own conversions), code_page_posix.cpp (iconv). Neither direction fails:
// bytes that cannot be read become U+FFFD in UTF-8, and characters that the
// code page lacks become '?'.
#include <string>

namespace text {

std::string SystemToUtf8(const std::string& system);
std::string Utf8ToSystem(const std::string& utf8);

// The length of the well-formed UTF-8 sequence that starts text[at], or 0
// when the bytes there are not one (shared by both seams).
std::size_t Utf8SequenceLength(const std::string& text, std::size_t at);

}  // namespace text
