#include "tools/cardhost/language.h"

namespace cardhost {

std::optional<Language> ParseLanguage(const std::string& name) {
  std::string lower;
  for (char c : name) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  if (lower == "zh") return Language::kChinese;
  if (lower == "en") return Language::kEnglish;
  return std::nullopt;
}

bool LocaleNamesChinese(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value != nullptr && *value != '\0') return value[0] == 'z' && value[1] == 'h';
  }
  return false;
}

Language ChooseLanguage(const std::optional<Language>& asked, bool systemPrefersChinese) {
  if (asked) return *asked;
  return systemPrefersChinese ? Language::kChinese : Language::kEnglish;
}

}  // namespace cardhost
