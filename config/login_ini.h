#pragma once
// What the host's Login.ini says about the virtual card.
#include <string>

#include "config/ini_reader.h"

namespace config {

// True when a [MAIN] REALCARD value switches the virtual card on: the value,
// with the ASCII capitals A to Z lowered, is exactly "true".
bool IsVirtualCardSwitch(const std::string& value);

// True when the [MAIN] section's REALCARD switches the virtual card on.
bool VirtualCardSwitchedOn(const IniSection& main);

}  // namespace config
