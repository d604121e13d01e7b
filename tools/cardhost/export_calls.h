#pragma once
// Calling readcard.dll's ten exports by name, as a host does, and printing
// what they answer.
#include <string>
#include <vector>

#include "tools/cardhost/readcard_library.h"
#include "tools/cardhost/text_output.h"

namespace cardhost {

// Exit codes of cardhost.
enum ExitCode {
  kSucceeded = 0,      // the export answered 0 (or its version); the check found nothing
  kFailed = 1,         // the export answered -1; the check found a problem; no log
  kUsageError = 2,     // unknown option or export, wrong arguments
  kLibraryMissing = 3  // readcard.dll could not be loaded
};

// The lines of --help that list the exports and their arguments.
std::vector<std::string> ExportUsage();

// Whether name is an export and arguments are what it takes (the text after
// its name on the command line); prints what is wrong when not.
bool ArgumentsFit(const std::string& name, const std::vector<std::string>& arguments,
                  const TextOutput& output);

// Calls the export called name with arguments, prints its return value and
// result texts, and returns the exit code.
int CallExport(const ReadcardLibrary& library, const std::string& name,
               const std::vector<std::string>& arguments, const TextOutput& output);

}  // namespace cardhost
