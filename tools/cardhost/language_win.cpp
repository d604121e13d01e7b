#include <windows.h>

#include "tools/cardhost/language.h"

namespace cardhost {

// cardhost's Chinese texts are GBK, as the card library's are: a Chinese
// interface in another ANSI code page (Big5 on a Traditional Chinese
// system) could not show them, so English is the better answer there.
bool SystemPrefersChinese() {
  constexpr UINT kGbkCodePage = 936;
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE && GetACP() == kGbkCodePage;
}

}  // namespace cardhost
