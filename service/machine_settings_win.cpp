// The machine's desk settings in the registry.
#include "service/machine_settings.h"
#include "service/registry_values.h"

namespace service {

bool ReadMachineSettings(config::IniSection& settings) {
  return ReadRegistryValues(kMachineSettingsKey, 0, settings);
}

}  // namespace service
