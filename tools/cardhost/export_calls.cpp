#include "tools/cardhost/export_calls.h"

#include "include/readcard.h"
#include "tools/cardhost/messages.h"

namespace cardhost {

namespace {

using Arguments = std::vector<std::string>;
using Caller = int (*)(const ReadcardLibrary&, const Arguments&, const TextOutput&);

struct ExportEntry {
  const char* name;
  const char* arguments;  // as the user types them after the name
  Message purpose;
  Caller call;
};

int Missing(const char* name, const TextOutput& output) {
  output.Line(Say(Message::kNoSuchExport, {kReadcardFile, name}));
  return kFailed;
}

void PrintReturned(const char* name, int result, const TextOutput& output) {
  output.Line(result == -1
                  ? Say(Message::kReturnedFailed, {name, std::to_string(result), kReadcardFile})
                  : Say(Message::kReturned, {name, std::to_string(result)}));
}

// A text that an export handed back through a pointer to a text pointer;
// the pointer is still null when the export did not set it.
void PrintText(Message label, const char* text, const TextOutput& output) {
  output.Line(Say(Message::kResultText,
                  {Say(label), text == nullptr ? Say(Message::kNotSet) : std::string(text)}));
}

int ExitCodeOf(int result) { return result == 0 ? kSucceeded : kFailed; }

int CallVersion(const ReadcardLibrary& library, const Arguments&, const TextOutput& output) {
  auto function = library.Find<READCARD_QTZ_DLL_BBH_FN>("QTZ_DLL_BBH");
  if (function == nullptr) return Missing("QTZ_DLL_BBH", output);
  output.Line(Say(Message::kReturned, {"QTZ_DLL_BBH", std::to_string(function())}));
  return kSucceeded;
}

int CallIcCardNumber(const ReadcardLibrary& library, const Arguments&, const TextOutput& output) {
  auto function = library.Find<READCARD_QTZ_DKH_FN>("QTZ_DKH");
  if (function == nullptr) return Missing("QTZ_DKH", output);
  char* cardNumber = nullptr;
  char* cardNumberCopy = nullptr;
  int result = function(0, 0, 0, 0, &cardNumber, &cardNumberCopy);
  PrintReturned("QTZ_DKH", result, output);
  PrintText(Message::kCardNumberFifth, cardNumber, output);
  PrintText(Message::kCardNumberSixth, cardNumberCopy, output);
  return ExitCodeOf(result);
}

int CallMagneticCardNumber(const ReadcardLibrary& library, const Arguments& arguments,
                           const TextOutput& output) {
  auto function = library.Find<READCARD_CK_DKH_FN>("CK_DKH");
  if (function == nullptr) return Missing("CK_DKH", output);
  char* cardNumber = nullptr;
  int result = function(0, 0, arguments[0].c_str(), &cardNumber);
  PrintReturned("CK_DKH", result, output);
  PrintText(Message::kCardNumberFourth, cardNumber, output);
  return ExitCodeOf(result);
}

int CallCardInfo(const ReadcardLibrary& library, const Arguments&, const TextOutput& output) {
  auto function = library.Find<READCARD_SBK_YKT_ICGETINFO_FN>("SBK_YKT_ICGETINFO");
  if (function == nullptr) return Missing("SBK_YKT_ICGETINFO", output);
  char* cardInfo = nullptr;
  int status = -99;  // the export sets it to 0
  int result = function(0, 0, &cardInfo, &status);
  PrintReturned("SBK_YKT_ICGETINFO", result, output);
  PrintText(Message::kCardInformationThird, cardInfo, output);
  output.Line(Say(Message::kResultText, {Say(Message::kStatusFourth), std::to_string(status)}));
  return ExitCodeOf(result);
}

// The inactive entry points, each called with zeros for its arguments.
template <typename Function, typename... Zeros>
int CallInactive(const ReadcardLibrary& library, const TextOutput& output, const char* name,
                 Zeros... zeros) {
  auto function = library.Find<Function>(name);
  if (function == nullptr) return Missing(name, output);
  output.Line(Say(Message::kReturnedInactive, {name, std::to_string(function(zeros...))}));
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
  return CallInactive<READCARD_SBK_YKT_ICPURCHASE_FN>(l, o, "SBK_YKT_ICPURCHASE", 0, 0, 0, 0, 0, 0,
                                                      0, 0, 0, 0, 0);
}
int CallTransLog(const ReadcardLibrary& l, const Arguments&, const TextOutput& o) {
  return CallInactive<READCARD_SBK_YKT_ICTRANSLOG_FN>(l, o, "SBK_YKT_ICTRANSLOG", 0, 0, 0);
}

const ExportEntry kExports[] = {
    {"QTZ_DLL_BBH", "", Message::kPurposeVersion, CallVersion},
    {"QTZ_DKH", "", Message::kPurposeIcCardNumber, CallIcCardNumber},
    {"CK_DKH", "TRACK", Message::kPurposeMagneticCardNumber, CallMagneticCardNumber},
    {"SBK_YKT_ICGETINFO", "", Message::kPurposeCardInformation, CallCardInfo},
    {"QTZ_ErrorString", "", Message::kPurposeInactive, CallErrorString},
    {"QTZ_FindWindow2", "", Message::kPurposeInactive, CallFindWindow2},
    {"QTZ_HSXK", "", Message::kPurposeInactive, CallHsxk},
    {"QTZ_YKT_JK_SD", "", Message::kPurposeInactive, CallYktJkSd},
    {"SBK_YKT_ICPURCHASE", "", Message::kPurposeInactive, CallPurchase},
    {"SBK_YKT_ICTRANSLOG", "", Message::kPurposeInactive, CallTransLog},
};

// People typing in cmd expect case not to matter: qtz_dkh is QTZ_DKH.
bool SameName(const std::string& typed, const char* name) {
  std::size_t i = 0;
  for (; i < typed.size() && name[i] != '\0'; ++i) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (upper(typed[i]) != upper(name[i])) return false;
  }
  return i == typed.size() && name[i] == '\0';
}

const ExportEntry* FindEntry(const std::string& name) {
  for (const ExportEntry& entry : kExports) {
    if (SameName(name, entry.name)) return &entry;
  }
  return nullptr;
}

// The argument's placeholder in the language in use ("TRACK").
std::string ArgumentWord(const ExportEntry& entry) {
  return entry.arguments[0] == '\0' ? std::string() : Say(Message::kArgumentTrack);
}

std::size_t ArgumentCount(const ExportEntry& entry) { return entry.arguments[0] == '\0' ? 0 : 1; }

}  // namespace

std::vector<std::string> ExportUsage() {
  std::vector<std::string> lines;
  for (const ExportEntry& entry : kExports) {
    std::string call = std::string(entry.name) + " " + ArgumentWord(entry);
    call.resize(26, ' ');
    lines.push_back("  " + call + Say(entry.purpose));
  }
  return lines;
}

bool ArgumentsFit(const std::string& name, const std::vector<std::string>& arguments,
                  const TextOutput& output) {
  const ExportEntry* entry = FindEntry(name);
  if (entry == nullptr) {
    output.Line(Say(Message::kNoExportCalled, {kReadcardFile, name}));
    return false;
  }
  if (arguments.size() != ArgumentCount(*entry)) {
    if (ArgumentCount(*entry) == 0) {
      output.Line(Say(Message::kExportUsage, {entry->name}));
    } else {
      output.Line(Say(Message::kExportUsageWithTrack, {entry->name, ArgumentWord(*entry)}));
    }
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
