#include "text/readcard_home.h"

namespace text {

// Windows hosts are programs of their own: their directory holds the files.
HomeSetting ReadHomeSetting() { return HomeSetting(); }

bool HomeVariableApplies() { return false; }

}  // namespace text
