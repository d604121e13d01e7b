#pragma once
// Reads one section of an INI file (the host's Login.ini) into a map of key
// texts to value texts, bytes as they stand in the file (ASCII or GBK).
//
// A section starts after the first line that contains "[name]" anywhere and
// ends at the next line whose first byte is "["; "#" starts a comment; the
// first "=" splits key from value; spaces and tabs around both are dropped;
// the last of repeated keys wins.
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "config/text_lines.h"

namespace config {

// One section: key to value, keys ordered byte by byte, case-sensitive.
using IniSection = std::map<std::string, std::string>;

// Empties section, then fills it with the pairs of the section called name
// (without brackets). True when the file could be opened, whether or not the
// section is in it; false (section empty) when it could not. path is in the
// system code page. The file is read without denying anyone else access, so a
// host that holds it open does not block the read.
bool ReadIniSection(const std::string& path, IniSection& section, const char* name);

// The key and value of one key line, or nothing for a line that holds none
// (empty, a comment, no "=" before the comment, an empty key).
std::optional<std::pair<std::string, std::string>> ParseIniLine(const std::string& line);

// The reading of ReadIniSection over any source of lines.
void ParseIniSection(TextLines& lines, IniSection& section, const char* name);

}  // namespace config
