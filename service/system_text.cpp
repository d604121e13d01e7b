#include "service/system_text.h"

namespace service {

// Until the code-page conversion is linked in, texts pass unchanged; JSON
// output replaces what is not UTF-8.
std::string SystemTextToUtf8(const std::string& text) { return text; }

}  // namespace service
