#pragma once
// Where the machine's desk settings (desk_settings.h) are kept. On Windows
// the values of HKLM\SOFTWARE\readcard\cardservice (the 32-bit view, which
// the 32-bit service and its 32-bit installer share); elsewhere there are
// none: the Linux packages keep the settings in /etc/readcard.
#include <string>

#include "config/ini_reader.h"

namespace service {

// The key below HKEY_LOCAL_MACHINE.
constexpr char kMachineSettingsKey[] = "SOFTWARE\\readcard\\cardservice";

// Fills settings with the kept values (texts in the system code page).
// False, settings empty, when nothing is kept.
bool ReadMachineSettings(config::IniSection& settings);

}  // namespace service
