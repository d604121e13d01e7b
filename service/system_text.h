#pragma once
// Texts of the system code page (GBK on the desk PCs: paths, the card
// library's log lines) as UTF-8 for JSON and the service log.
#include <string>

namespace service {

std::string SystemTextToUtf8(const std::string& text);

// UTF-8 text as the console shows it: the system code page on Windows
// (a Chinese console reads GBK), unchanged elsewhere.
std::string ConsoleText(const std::string& utf8);

}  // namespace service
