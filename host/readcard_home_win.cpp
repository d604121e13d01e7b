#include "host/readcard_home.h"

namespace host {

// Windows hosts are programs of their own: their directory holds the files.
HomeSetting ReadHomeSetting() { return HomeSetting(); }

bool HomeVariableApplies() { return false; }

}  // namespace host
