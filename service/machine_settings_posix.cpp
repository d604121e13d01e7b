// Outside Windows the settings live in cardservice.ini alone.
#include "service/machine_settings.h"

namespace service {

bool ReadMachineSettings(config::IniSection& settings) {
  settings.clear();
  return false;
}

}  // namespace service
