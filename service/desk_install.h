#pragma once
// What --install does for the desk besides registering the service, and
// what --uninstall undoes (Windows): the settings an installer gives
// (--set KEY=VALUE, desk_settings.h) are kept for the machine, the vendor's
// driver is copied from driverdir into the service's folder, the library
// and the driver host are copied into hisdir for a C/S HIS, and with
// browserpolicy=1 the origins are listed in the browsers' machine policy.
#include <functional>
#include <string>

#include "service/command_line.h"

namespace service {

// Applies line.settings, calling beforeChanges once they proved usable and
// before anything is changed (to stop a running service, whose driver a
// copy would replace). A failure when a value is unusable (nothing is
// changed then: MergeDeskSettings' or kFolderMissing) or a step failed
// (kCannotCopy, kCannotWritePolicy, kCannotWriteSettings).
Failure SetUpDesk(const CommandLine& line, const std::function<void()>& beforeChanges);

// Removes what SetUpDesk did: the files it copied, the policy values it
// added (each only while it still holds what was written) and the kept
// settings. Logs stay.
void TakeDownDesk();

}  // namespace service
