#pragma once
// Platform seam (Windows only): the string values of a key below
// HKEY_LOCAL_MACHINE, read, written and deleted in a chosen registry view
// (0, KEY_WOW64_32KEY or KEY_WOW64_64KEY). Names and values are texts in
// the system code page.
#include <windows.h>

#include <map>
#include <string>

namespace service {

// Fills values with the key's REG_SZ values (others are skipped). False,
// values empty, when the key cannot be opened.
bool ReadRegistryValues(const std::string& key, REGSAM view,
                        std::map<std::string, std::string>& values);

// Creates the key where it is missing. ERROR_SUCCESS, or the system's code
// for why the value was not written (registry calls leave GetLastError be).
LONG WriteRegistryValue(const std::string& key, REGSAM view, const std::string& name,
                        const std::string& value);

// Nothing happens where the key or the value is missing.
void DeleteRegistryValue(const std::string& key, REGSAM view, const std::string& name);

}  // namespace service
