// cardhost's message table and its choice of language: every message in both
// languages with the same values in it, the values put in as they are, and
// the language the command line or the system's locale asks for.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tools/cardhost/language.h"
#include "tools/cardhost/messages.h"

namespace {

using cardhost::Language;
using cardhost::Message;
using cardhost::Say;

// The placeholders %1..%9 that a text holds.
std::set<char> PlaceholdersOf(const std::string& text) {
  std::set<char> found;
  for (std::size_t at = 0; at + 1 < text.size(); ++at) {
    if (text[at] == '%' && text[at + 1] >= '1' && text[at + 1] <= '9') found.insert(text[at + 1]);
  }
  return found;
}

bool HasNonAscii(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return true;
  }
  return false;
}

TEST(CardhostMessages, EveryMessageIsTranslatedWithTheSameValues) {
  for (int i = 0; i < static_cast<int>(Message::kCount); ++i) {
    const Message message = static_cast<Message>(i);
    const std::string english = Say(Language::kEnglish, message);
    const std::string chinese = Say(Language::kChinese, message);
    EXPECT_FALSE(english.empty()) << "message " << i;
    EXPECT_NE(english, chinese) << "message " << i << " is not translated: " << english;
    EXPECT_TRUE(HasNonAscii(chinese)) << "message " << i << " has no Chinese: " << chinese;
    EXPECT_EQ(PlaceholdersOf(english), PlaceholdersOf(chinese))
        << "message " << i << ": " << english;
    // Placeholders are numbered from 1 without gaps, so no value is lost.
    const std::set<char> used = PlaceholdersOf(english);
    if (!used.empty()) {
      EXPECT_EQ(*used.rbegin() - '0', static_cast<int>(used.size())) << english;
    }
  }
}

TEST(CardhostMessages, ValuesGoInAsTheyAre) {
  const struct {
    Message message;
    std::initializer_list<std::string> values;
    const char* english;
  } cases[] = {
      {Message::kReturned, {"CK_DKH", "-1"}, "CK_DKH returned -1"},
      // A value holding a placeholder of its own is not expanded again.
      {Message::kReturned, {"%2", "0"}, "%2 returned 0"},
      {Message::kLogged, {"100% %1 done"}, "logged: 100% %1 done"},
      // The same value twice, and values beyond those the text names.
      {Message::kNoSuchExport,
       {"readcard.dll", "X", "unused"},
       "readcard.dll has no export X: it is not the readcard.dll this tool belongs to"},
      // A placeholder without its value stays, so the slip shows.
      {Message::kCannotLoad, {"readcard.dll"}, "cannot load readcard.dll: %2"},
      {Message::kNotSet, {}, "(not set)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Say(Language::kEnglish, c.message, c.values), c.english);
  }
  const std::string chinese = Say(Language::kChinese, Message::kReturned, {"QTZ_DKH", "0"});
  EXPECT_EQ(chinese.compare(0, 8, "QTZ_DKH "), 0) << chinese;
  EXPECT_EQ(chinese.substr(chinese.size() - 2), " 0") << chinese;
}

TEST(CardhostMessages, SayUsesTheLanguageInUse) {
  cardhost::UseLanguage(Language::kChinese);
  EXPECT_EQ(Say(Message::kFound), Say(Language::kChinese, Message::kFound));
  cardhost::UseLanguage(Language::kEnglish);
  EXPECT_EQ(Say(Message::kFound), "found");
}

TEST(CardhostLanguage, LangOptionNamesZhOrEn) {
  const struct {
    const char* name;
    std::optional<Language> language;
  } cases[] = {
      {"zh", Language::kChinese}, {"ZH", Language::kChinese}, {"en", Language::kEnglish},
      {"En", Language::kEnglish}, {"", std::nullopt},         {"zh_CN", std::nullopt},
      {"cn", std::nullopt},       {"english", std::nullopt},  {"z", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(cardhost::ParseLanguage(c.name), c.language) << c.name;
}

TEST(CardhostLanguage, LocaleVariablesDecideInTheirOrder) {
  const struct {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    bool chinese;
  } cases[] = {
      {nullptr, nullptr, nullptr, false},
      {nullptr, nullptr, "zh_CN.UTF-8", true},
      {nullptr, nullptr, "zh_TW.Big5", true},
      {nullptr, nullptr, "zh", true},
      {nullptr, nullptr, "en_US.UTF-8", false},
      {nullptr, nullptr, "C.UTF-8", false},
      {nullptr, nullptr, "z", false},
      {nullptr, "zh_CN.UTF-8", "en_US.UTF-8", true},  // LC_MESSAGES before LANG
      {nullptr, "C", "zh_CN.UTF-8", false},
      {"C", "zh_CN.UTF-8", "zh_CN.UTF-8", false},  // LC_ALL before both
      {"zh_CN.GBK", "C", "C", true},
      {"", "", "zh_CN.UTF-8", true},  // empty counts as unset
      {"", "en_GB.UTF-8", "zh_CN.UTF-8", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cardhost::LocaleNamesChinese(c.lcAll, c.lcMessages, c.lang), c.chinese)
        << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
        << (c.lang ? c.lang : "-");
  }
}

TEST(CardhostLanguage, TheOptionOutranksTheSystem) {
  using cardhost::ChooseLanguage;
  EXPECT_EQ(ChooseLanguage(std::nullopt, true), Language::kChinese);
  EXPECT_EQ(ChooseLanguage(std::nullopt, false), Language::kEnglish);
  EXPECT_EQ(ChooseLanguage(Language::kEnglish, true), Language::kEnglish);
  EXPECT_EQ(ChooseLanguage(Language::kChinese, false), Language::kChinese);
}

}  // namespace
