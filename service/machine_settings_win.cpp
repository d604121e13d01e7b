// The machine's desk settings in the registry.
#include <windows.h>

#include "service/machine_settings.h"

namespace service {

bool ReadMachineSettings(IniSection& settings) {
  settings.clear();
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  for (DWORD index = 0;; ++index) {
    char name[256] = {};
    char value[4096] = {};
    DWORD nameLength = sizeof name;
    DWORD valueLength = sizeof value - 1;
    DWORD type = 0;
    const LONG result = RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(value), &valueLength);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    settings[name] = std::string(value, strnlen(value, valueLength));
  }
  RegCloseKey(key);
  return true;
}

}  // namespace service
