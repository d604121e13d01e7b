#pragma once
// cardhost --check: whether what readcard.dll needs is in place beside the
// host program, as IT staff check a registration PC.
#include <string>

#include "tools/cardhost/text_output.h"

namespace cardhost {

// Prints the state of readcard.dll, SSCardDriver.dll, Login.ini and the log
// below directory (with its trailing backslash); returns the exit code.
int RunCheck(const std::string& directory, const TextOutput& output);

}  // namespace cardhost
