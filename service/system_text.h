#pragma once
// Where text enters and leaves the card service. Inside, every text is
// UTF-8; these convert once, at the edge.
#include <string>

namespace service {

// The card library's texts (its log lines, its answers): the system code
// page on Windows, GBK natively, as the library writes them.
std::string SystemTextToUtf8(const std::string& text);

// The system's own texts: paths, cardservice.ini's values, the system's
// error messages. The ANSI code page on Windows; natively already UTF-8
// (bytes that are not become U+FFFD).
std::string LocalTextToUtf8(const std::string& text);

// UTF-8 text as the console shows it: the system code page on Windows
// (a Chinese console reads GBK), unchanged elsewhere.
std::string ConsoleText(const std::string& utf8);

}  // namespace service
