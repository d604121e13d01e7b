#include <stdlib.h>

#include "tools/cardhost/language.h"

namespace cardhost {

// The texts go to a terminal converted to its character set, so any Chinese
// locale can show them.
bool SystemPrefersChinese() {
  return LocaleNamesChinese(getenv("LC_ALL"), getenv("LC_MESSAGES"), getenv("LANG"));
}

}  // namespace cardhost
