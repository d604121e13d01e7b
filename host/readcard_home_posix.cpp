#include "host/readcard_home.h"

#include <stdlib.h>
#include <sys/stat.h>

namespace host {

HomeSetting ReadHomeSetting() {
  HomeSetting setting;
  // A set-user-ID host does not take its companion files from its caller.
  const char* value = secure_getenv(kHomeVariable);
  if (value == nullptr) return setting;
  setting.value = value;
  struct stat status;
  if (setting.value.empty()) {
    setting.state = HomeSetting::kEmpty;
  } else if (setting.value[0] != '/') {
    setting.state = HomeSetting::kNotAbsolute;
  } else if (stat(value, &status) != 0 || !S_ISDIR(status.st_mode)) {
    setting.state = HomeSetting::kNotADirectory;
  } else {
    setting.state = HomeSetting::kUsed;
    setting.directory = setting.value;
    if (setting.directory.back() != '/') setting.directory += '/';
  }
  return setting;
}

bool HomeVariableApplies() { return true; }

}  // namespace host
