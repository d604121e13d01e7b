#include "tools/cardhost/export_calls.h"

#include "include/readcard.h"

namespace cardhost {

namespace {

using Arguments = std::vector<std::string>;
using Caller = int (*)(const ReadcardLibrary&, const Arguments&, const TextOutput&);

struct ExportEntry {
  const char* name;
  const char* arguments;  // as the user types them after the name
  const char* purpose;
  Caller call;
};

int Missing(const char* name, const TextOutput& output) {
  output.Line(std::string(kReadcardFile) + " has no export " + name + ": it is not the " +
              kReadcardFile + " this tool belongs to");
  return kFailed;
}

void PrintReturned(const char* name, int result, const TextOutput& output) {
  output.Line(std::string(name) + " returned " + std::to_string(result) +
              (result == -1 ? std::string(" (failed: ") + kReadcardFile + " logs the reason)"
                            : std::string()));
}

// A text that an export handed back through a pointer to a text pointer;
// the pointer is still null when the export did not set it.
void PrintText(const char* label, const char* text, const TextOutput& output) {
  output.Line(std::string("  ") + label + ": " + (text == nullptr ? "(not set)" : text));
}

int ExitCodeOf(int result) { return result == 0 ? kSucceeded : kFailed; }

int CallVersion(const ReadcardLibrary& library, const Arguments&, const TextOutput& output) {
  auto function = library.Find<READCARD_QTZ_DLL_BBH_FN>("QTZ_DLL_BBH");
  if (function == nullptr) return Missing("QTZ_DLL_BBH", output);
  output.Line("QTZ_DLL_BBH returned " + std::to_string(function()));
  return kSucceeded;
}

int CallIcCardNumber(const ReadcardLibrary& library, const Arguments&,
                     const TextOutput& output) {
  auto function = library.Find<READCARD_QTZ_DKH_FN>("QTZ_DKH");
  if (function == nullptr) return Missing("QTZ_DKH", output);
  char* cardNumber = nullptr;
  char* cardNumberCopy = nullptr;
  int result = function(0, 0, 0, 0, &cardNumber, &cardNumberCopy);
  PrintReturned("QTZ_DKH", result, output);
  PrintText("card number (5th argument)", cardNumber, output);
  PrintText("card number (6th argument)", cardNumberCopy, output);
  return ExitCodeOf(result);
}

int CallMagneticCardNumber(const ReadcardLibrary& library, const Arguments& arguments,
                           const TextOutput& output) {
  auto function = library.Find<READCARD_CK_DKH_FN>("CK_DKH");
  if (function == nullptr) return Missing("CK_DKH", output);
  char* cardNumber = nullptr;
  int result = function(0, 0, arguments[0].c_str(), &cardNumber);
  PrintReturned("CK_DKH", result, output);
  PrintText("card number (4th argument)", cardNumber, output);
  return ExitCodeOf(result);
}

int CallCardInfo(const ReadcardLibrary& library, const Arguments&, const TextOutput& output) {
  auto function = library.Find<READCARD_SBK_YKT_ICGETINFO_FN>("SBK_YKT_ICGETINFO");
  if (function == nullptr) return Missing("SBK_YKT_ICGETINFO", output);
  char* cardInfo = nullptr;
  int status = -99;  // the export sets it to 0
  int result = function(0, 0, &cardInfo, &status);
  PrintReturned("SBK_YKT_ICGETINFO", result, output);
  PrintText("card information (3rd argument)", cardInfo, output);
  output.Line("  status (4th argument): " + std::to_string(status));
  return ExitCodeOf(result);
}

// The inactive entry points, each called with zeros for its arguments.
template <typename Function, typename... Zeros>
int CallInactive(const ReadcardLibrary& library, const TextOutput& output, const char* name,
                 Zeros... zeros) {
  auto function = library.Find<Function>(name);
  if (function == nullptr) return Missing(name, output);
  output.Line(std::string(name) + " returned " + std::to_string(function(zeros...)) +
              " (an inactive entry point: it does nothing)");
  return kSucceeded;
}

int CallErrorString(const ReadcardLibrary& l, const Arguments&, const TextOutput& o) {
  return CallInactive<READCARD_QTZ_ERRORSTRING_FN>(l, o, "QTZ_ErrorString", 0, 0, 0);
}
int CallFindWindow2(const ReadcardLibrary& l, const Arguments&, const TextOutput& o) {
  return CallInactive<READCARD_QTZ_FINDWINDOW2_FN>(l, o, "QTZ_FindWindow2", 0);
}
int CallHsxk(const ReadcardLibrary& l, const Arguments&, const TextOutput& o) {
  return CallInactive<READCARD_QTZ_HSXK_FN>(l, o, "QTZ_HSXK", 0, 0, 0, 0, 0, 0);
}
int CallYktJkSd(const ReadcardLibrary& l, const Arguments&, const TextOutput& o) {
  return CallInactive<READCARD_QTZ_YKT_JK_SD_FN>(l, o, "QTZ_YKT_JK_SD");
}
int CallPurchase(const ReadcardLibrary& l, const Arguments&, const TextOutput& o) {
  return CallInactive<READCARD_SBK_YKT_ICPURCHASE_FN>(l, o, "SBK_YKT_ICPURCHASE", 0, 0, 0, 0,
                                                      0, 0, 0, 0, 0, 0, 0);
}
int CallTransLog(const ReadcardLibrary& l, const Arguments&, const TextOutput& o) {
  return CallInactive<READCARD_SBK_YKT_ICTRANSLOG_FN>(l, o, "SBK_YKT_ICTRANSLOG", 0, 0, 0);
}

const ExportEntry kExports[] = {
    {"QTZ_DLL_BBH", "", "the version number (86)", CallVersion},
    {"QTZ_DKH", "", "the IC card number (card reader, or Login.ini's virtual card)",
     CallIcCardNumber},
    {"CK_DKH", "TRACK", "the card number of a 37-character magnetic track",
     CallMagneticCardNumber},
    {"SBK_YKT_ICGETINFO", "", "the IC card information line", CallCardInfo},
    {"QTZ_ErrorString", "", "inactive: answers 0", CallErrorString},
    {"QTZ_FindWindow2", "", "inactive: answers 0", CallFindWindow2},
    {"QTZ_HSXK", "", "inactive: answers 0", CallHsxk},
    {"QTZ_YKT_JK_SD", "", "inactive: answers 0", CallYktJkSd},
    {"SBK_YKT_ICPURCHASE", "", "inactive: answers 0", CallPurchase},
    {"SBK_YKT_ICTRANSLOG", "", "inactive: answers 0", CallTransLog},
};

const ExportEntry* FindEntry(const std::string& name) {
  for (const ExportEntry& entry : kExports) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

std::size_t ArgumentCount(const ExportEntry& entry) {
  return entry.arguments[0] == '\0' ? 0 : 1;
}

}  // namespace

std::vector<std::string> ExportUsage() {
  std::vector<std::string> lines;
  for (const ExportEntry& entry : kExports) {
    std::string call = std::string(entry.name) + " " + entry.arguments;
    call.resize(26, ' ');
    lines.push_back("  " + call + entry.purpose);
  }
  return lines;
}

bool ArgumentsFit(const std::string& name, const std::vector<std::string>& arguments,
                  const TextOutput& output) {
  const ExportEntry* entry = FindEntry(name);
  if (entry == nullptr) {
    output.Line(std::string(kReadcardFile) + " has no export called " + name +
                " (see cardhost --help)");
    return false;
  }
  if (arguments.size() != ArgumentCount(*entry)) {
    output.Line(std::string("usage: cardhost ") + entry->name + " " + entry->arguments);
    return false;
  }
  return true;
}

int CallExport(const ReadcardLibrary& library, const std::string& name,
               const std::vector<std::string>& arguments, const TextOutput& output) {
  const ExportEntry* entry = FindEntry(name);
  if (entry == nullptr || arguments.size() != ArgumentCount(*entry)) return kUsageError;
  return entry->call(library, arguments, output);
}

}  // namespace cardhost
