#include "config/login_ini.h"

namespace config {

bool IsVirtualCardSwitch(const std::string& value) {
  std::string lowered = value;
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered == "true";
}

bool VirtualCardSwitchedOn(const IniSection& main) {
  auto found = main.find("REALCARD");
  return found != main.end() && IsVirtualCardSwitch(found->second);
}

}  // namespace config
