#pragma once
// INI texts with the section that reading them must yield; read both from
// strings and from files.
#include <string>
#include <vector>

#include "config/ini_reader.h"

namespace config {

struct IniSectionCase {
  const char* what;
  std::string text;
  const char* section;
  IniSection pairs;
};

inline const std::vector<IniSectionCase>& IniSectionCases() {
  static const std::vector<IniSectionCase> cases = {
      {"host's file, MAIN",
       "[MAIN]\nREALCARD = true\n[QTZH]\nCURRENT=1\n1=0000123456\n",
       "MAIN",
       {{"REALCARD", "true"}}},
      {"host's file, QTZH",
       "[MAIN]\nREALCARD = true\n[QTZH]\nCURRENT=1\n1=0000123456\n",
       "QTZH",
       {{"CURRENT", "1"}, {"1", "0000123456"}}},
      {"comments",
       "[MAIN]\nREALCARD=true #remark\nA=#x\n#B=1\nC#=1\n",
       "MAIN",
       {{"REALCARD", "true"}, {"A", ""}}},
      {"semicolon is no comment", "[MAIN]\n; REALCARD=true\n", "MAIN", {{"; REALCARD", "true"}}},
      {"first equals sign splits", "[MAIN]\nA=B=C\n", "MAIN", {{"A", "B=C"}}},
      {"empty value, empty key", "[MAIN]\nKEY=\n=x\n  =y\n", "MAIN", {{"KEY", ""}}},
      {"duplicate keys", "[MAIN]\nK=1\nL=x\nK=2\n", "MAIN", {{"K", "2"}, {"L", "x"}}},
      {"lower-case header", "[main]\nK=1\n", "MAIN", {}},
      {"header after blanks", "  [MAIN]\nK=1\n", "MAIN", {{"K", "1"}}},
      {"header inside other text", "x[MAIN]y\nK=1\n", "MAIN", {{"K", "1"}}},
      {"header after number sign", "#[MAIN]\nK=1\n", "MAIN", {{"K", "1"}}},
      {"header line holds no pair", "[MAIN] K=1\nL=2\n", "MAIN", {{"L", "2"}}},
      {"longer name is another section", "[MAINX]\nK=1\n", "MAIN", {}},
      {"indented header does not end it",
       "[MAIN]\nA=1\n  [QTZH]\nB=2\n",
       "MAIN",
       {{"A", "1"}, {"B", "2"}}},
      {"[ alone ends it", "[MAIN]\nA=1\n[\nB=2\n", "MAIN", {{"A", "1"}}},
      {"skipped lines do not end it", "[MAIN]\n\nno pair\n#c\n\t\nK=1\n", "MAIN", {{"K", "1"}}},
      {"only the first occurrence", "A=0\n[MAIN]\nB=1\n[X]\n[MAIN]\nC=2\n", "MAIN", {{"B", "1"}}},
      {"missing section", "[OTHER]\nK=1\n", "MAIN", {}},
      {"CR LF",
       "[MAIN]\r\nREALCARD = true\r\nK=v\r\n[QTZH]\r\nL=w\r\n",
       "MAIN",
       {{"REALCARD", "true"}, {"K", "v"}}},
      {"CR CR LF", "[MAIN]\r\nK=v\r\r\nL=w\r\n", "MAIN", {{"K", "v"}, {"L", "w"}}},
      {"Ctrl-Z ends the file",
       "[MAIN]\nA=1\n\x1A"
       "B=2\n",
       "MAIN",
       {{"A", "1"}}},
      {"Ctrl-Z inside a line",
       "[MAIN]\nA=1\x1A"
       "23\n",
       "MAIN",
       {{"A", "1"}}},
      {"trailing space and tab", "[MAIN]\nKEY=value \t\n", "MAIN", {{"KEY", "value"}}},
      {"lone CR at the end", "[MAIN]\nKEY=value\r", "MAIN", {{"KEY", "value"}}},
      {"blanks before a final CR stay", "[MAIN]\nKEY=value \r", "MAIN", {{"KEY", "value "}}},
      {"byte-order mark", "\xEF\xBB\xBF[MAIN]\r\nK=1\r\n", "MAIN", {{"K", "1"}}},
      {"tabs", "[MAIN]\n\tK\t=\tv 1\t\n", "MAIN", {{"K", "v 1"}}},
      {"only space and tab are blanks", "[MAIN]\nK=\f1\xA1\xA1\n", "MAIN", {{"K", "\f1\xA1\xA1"}}},
      {"GBK keys and values",
       "[QTZH]\nCURRENT=张三\n张三=0000123456\n",
       "QTZH",
       {{"CURRENT", "张三"}, {"张三", "0000123456"}}},
      {"NUL bytes in a value",
       std::string("[MAIN]\nK=a\0b\n", 12),
       "MAIN",
       {{"K", std::string("a\0b", 3)}}},
      {"empty file", "", "MAIN", {}},
  };
  return cases;
}

}  // namespace config
