#include "service/registry_values.h"

#include <cstring>

namespace service {

bool ReadRegistryValues(const std::string& path, REGSAM view,
                        std::map<std::string, std::string>& values) {
  values.clear();
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
    return false;
  }
  for (DWORD index = 0;; ++index) {
    char name[256] = {};
    char value[4096] = {};
    DWORD nameLength = sizeof name;
    DWORD valueLength = sizeof value - 1;  // room for an end the value may lack
    DWORD type = 0;
    const LONG result = RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(value), &valueLength);
    if (result == ERROR_NO_MORE_ITEMS) break;
    // A value too long for the buffer or of another type is not ours to read.
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    values[name] = std::string(value, strnlen(value, valueLength));
  }
  RegCloseKey(key);
  return true;
}

LONG WriteRegistryValue(const std::string& path, REGSAM view, const std::string& name,
                        const std::string& value) {
  HKEY key = nullptr;
  const LONG opened = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                      KEY_SET_VALUE | view, nullptr, &key, nullptr);
  if (opened != ERROR_SUCCESS) return opened;
  const LONG result =
      RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
  return result;
}

void DeleteRegistryValue(const std::string& path, REGSAM view, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE | view, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
}

}  // namespace service
