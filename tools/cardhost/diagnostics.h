#pragma once
// cardhost --check: rates what readcard.dll needs beside the host program, as
// IT staff check a registration PC: each item fine, a warning (cards are read,
// but something is risky) or an error (cards cannot be read as they should),
// with what to do.
#include <string>
#include <vector>

#include "tools/cardhost/text_output.h"

namespace cardhost {

enum class Rating { kFine, kWarning, kError };

// One rated item of the check: its lines (label, texts, advice) in the
// language in use, ANSI code page.
struct CheckItem {
  std::string id;     // for --json: "home", "library", "driver", "loginIni", "log"
  std::string label;  // the first line's label ("SSCardDriver.dll")
  Rating rating = Rating::kFine;
  std::vector<std::pair<std::string, std::string>> lines;  // label, text
  std::vector<std::string> advice;
};

// Rates the desk in directory (with its trailing separator); ownDirectory
// says that it is cardhost's own, where the library it loads writes its log.
std::vector<CheckItem> CheckDesk(const std::string& directory, bool ownDirectory);

// The exit code of a check: 0 fine, 1 warnings, 2 errors.
int CheckExitCode(const std::vector<CheckItem>& items);

// Prints the check of directory as text, or as JSON (UTF-8) for fleet tools;
// returns its exit code.
int RunCheck(const std::string& directory, bool ownDirectory, bool json, const TextOutput& output);

}  // namespace cardhost
