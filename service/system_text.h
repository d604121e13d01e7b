#pragma once
// Texts of the system code page (GBK on the desk PCs: paths, the card
// library's log lines) as UTF-8 for JSON and the service log.
#include <string>

namespace service {

std::string SystemTextToUtf8(const std::string& text);

}  // namespace service
