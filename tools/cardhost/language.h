#pragma once
// The language cardhost answers in: Chinese when the user's interface is
// Chinese, English otherwise; --lang zh|en chooses.
// Platform seam for the system's choice: language_win.cpp, language_posix.cpp.
#include <optional>
#include <string>

namespace cardhost {

enum class Language { kEnglish, kChinese };

// The language that --lang names: "zh" or "en", in any case; nothing for
// anything else.
std::optional<Language> ParseLanguage(const std::string& name);

// Whether a POSIX locale environment asks for Chinese messages: the first of
// LC_ALL, LC_MESSAGES and LANG that is set and not empty decides, as the C
// library takes them, and names Chinese when it starts with "zh"
// (zh_CN.UTF-8, zh_TW, zh). Null stands for an unset variable.
bool LocaleNamesChinese(const char* lcAll, const char* lcMessages, const char* lang);

// Whether the system's user interface is Chinese, in a way cardhost can show:
// on Windows the user's UI language (its primary language Chinese) with the
// GBK code page for text; natively the locale environment.
bool SystemPrefersChinese();

// The language of this run: the one asked for, else the system's.
Language ChooseLanguage(const std::optional<Language>& asked, bool systemPrefersChinese);

}  // namespace cardhost
