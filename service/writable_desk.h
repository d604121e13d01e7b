#pragma once
// Who besides the administrators may change what the service and its
// worker run or read under the service's account: the desk and the
// program's folder, the program, the card library, the driver and its
// host, the settings. Checked when the service starts, and by --install.
#include <string>
#include <vector>

#include "service/messages.h"

namespace service {

// One line per finding (desk_permissions.h), in language; empty when only
// the administrators (and the account this process runs as) may change them.
std::vector<std::string> WritableDesk(const std::string& configPath,
                                      Language language = Language::kChinese);

// The one line that says so, for the log and the console: reads refused, or
// served all the same (writabledesk = serve), and each finding.
std::string WritableDeskLine(const std::vector<std::string>& found, bool served,
                             Language language = Language::kChinese);

}  // namespace service
