#include "service/system_text.h"

#include "text/code_page.h"

namespace service {

std::string SystemTextToUtf8(const std::string& text) { return text::SystemToUtf8(text); }

}  // namespace service
