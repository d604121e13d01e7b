#include <windows.h>

#include <cstdio>
#include <map>
#include <set>

#include "service/desk_install.h"
#include "service/desk_settings.h"
#include "service/machine_settings.h"
#include "service/registry_values.h"
#include "service/windows_text.h"
#include "service/service_config.h"
#include "service/system_text.h"
#include "host/host_directory.h"

namespace service {
namespace {

// The files a C/S HIS gets, and the program's own files, which a file of
// the same name in the driver's folder never replaces.
const char* const kHisFiles[] = {"readcard.dll", "readcard-driverhost.exe"};
const char kHisSettingsFile[] = "readcard.ini";
const char* const kOwnFiles[] = {"cardservice.exe", "cardhost.exe", "readcard.dll",
                                 "readcard-driverhost.exe"};

bool IsOwnFile(const std::string& name) {
  for (const char* own : kOwnFiles) {
    if (lstrcmpiA(own, name.c_str()) == 0) return true;
  }
  return false;
}

std::string Value(const config::IniSection& settings, const char* key) {
  auto found = settings.find(key);
  return found == settings.end() ? std::string() : found->second;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The values of key, in the given view; none where it is missing.
std::map<std::string, std::string> ReadValues(const std::string& path, REGSAM view) {
  std::map<std::string, std::string> values;
  ReadRegistryValues(path, view, values);
  return values;
}

// The browsers are 64-bit where Windows is: their policy lies in the 64-bit
// view (on 32-bit Windows the flag changes nothing).
const REGSAM kPolicyView = KEY_WOW64_64KEY;

// Removes the policy values recorded as added, each only while it still
// holds the origin written (an administrator may have reused the number).
void WithdrawPolicies(const std::string& record) {
  for (const std::string& entry : SplitRecord(record)) {
    const std::string::size_type equals = entry.find('=');
    const std::string::size_type slash = entry.rfind('\\', equals);
    if (equals == std::string::npos || slash == std::string::npos) continue;
    const std::string key = entry.substr(0, slash);
    const std::string name = entry.substr(slash + 1, equals - slash - 1);
    auto values = ReadValues(key, kPolicyView);
    auto found = values.find(name);
    if (found != values.end() && found->second == entry.substr(equals + 1)) {
      DeleteRegistryValue(key, kPolicyView, name);
    }
  }
}

// Lists origins in each browser policy; returns the record of what it added.
Failure ListOrigins(const std::vector<std::string>& origins, std::string& record) {
  std::vector<std::string> added;
  for (const std::string& key : kBrowserPolicyKeys) {
    for (const auto& [name, origin] : ListPolicyAdditions(ReadValues(key, kPolicyView), origins)) {
      const LONG written = WriteRegistryValue(key, kPolicyView, name, origin);
      if (written != ERROR_SUCCESS) {
        const Failure failed{Words::kCannotWritePolicy, key,
                             SystemErrorText(static_cast<DWORD>(written))};
        record = JoinRecord(added);
        return failed;
      }
      added.push_back(key + "\\" + name + "=" + origin);
    }
  }
  record = JoinRecord(added);
  return Failure{};
}

// Copies source to target; a target that was there before (not in copied)
// is replaced only when replace says so. Records a target it created.
Failure CopyInto(const std::string& source, const std::string& target, bool replace,
                 std::set<std::string>& copied, std::vector<std::string>& order) {
  const bool ours = copied.count(target) != 0;
  const bool existed = Exists(target);
  if (existed && !ours && !replace) return Failure{};
  if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
    return Failure{Words::kCannotCopy, LocalTextToUtf8(target), SystemErrorText(GetLastError())};
  }
  if (!existed && copied.insert(target).second) order.push_back(target);
  return Failure{};
}

}  // namespace

Failure SetUpDesk(const CommandLine& line, const std::function<void()>& beforeChanges) {
  config::IniSection kept;
  ReadMachineSettings(kept);
  if (line.settings.empty() && kept.empty()) {  // a desk set up by hand
    beforeChanges();
    return Failure{};
  }
  config::IniSection settings;
  if (Failure wrong = MergeDeskSettings(kept, line.settings, settings)) return wrong;
  const std::string desk = host::HostDirectory();
  for (const char* key : {"driverdir", "hisdir"}) {
    auto folder = settings.find(key);
    if (folder != settings.end() && !folder->second.empty() && !IsFolder(folder->second)) {
      return Failure{Words::kFolderMissing, key, LocalTextToUtf8(folder->second)};
    }
  }

  beforeChanges();
  std::vector<std::string> order = SplitRecord(Value(settings, kCopiedRecord));
  std::set<std::string> copied(order.begin(), order.end());
  Failure failed;
  // The vendor's driver and whatever it needs: every file of the folder,
  // copied again each time, so that a new driver arrives with a re-run.
  if (!Value(settings, "driverdir").empty()) {
    const std::string from = WithSeparator(Value(settings, "driverdir"));
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((from + "*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more && !failed;
         more = FindNextFileA(search, &found) != 0) {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      if (IsOwnFile(found.cFileName)) continue;
      failed = CopyInto(from + found.cFileName, desk + found.cFileName, true, copied, order);
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
  }
  // A C/S HIS's folder gets the library and the driver host (replacing an
  // older copy) and a readcard.ini unless it has one.
  if (!failed && !Value(settings, "hisdir").empty()) {
    const std::string to = WithSeparator(Value(settings, "hisdir"));
    for (const char* name : kHisFiles) {
      if (!failed && Exists(desk + name))
        failed = CopyInto(desk + name, to + name, true, copied, order);
    }
    if (!failed && Exists(desk + kHisSettingsFile)) {
      failed = CopyInto(desk + kHisSettingsFile, to + kHisSettingsFile, false, copied, order);
    }
  }
  settings[kCopiedRecord] = JoinRecord(order);

  // The policy follows the origins: what was added before is withdrawn and
  // the present origins listed (when asked for).
  if (!failed) {
    WithdrawPolicies(Value(settings, kPoliciesRecord));
    settings[kPoliciesRecord].clear();
    if (Value(settings, "browserpolicy") == "1") {
      ServiceConfig config;
      ParseServiceConfig(settings, config);  // proved usable above
      failed = ListOrigins(config.origins, settings[kPoliciesRecord]);
    }
  }

  // Kept even after a failed step, so that removal finds what was done.
  for (const auto& [name, value] : settings) {
    const LONG written = WriteRegistryValue(kMachineSettingsKey, 0, name, value);
    if (written != ERROR_SUCCESS) {
      return Failure{Words::kCannotWriteSettings, kMachineSettingsKey,
                     SystemErrorText(static_cast<DWORD>(written))};
    }
  }
  return failed;
}

void TakeDownDesk() {
  config::IniSection kept;
  if (!ReadMachineSettings(kept)) return;
  WithdrawPolicies(Value(kept, kPoliciesRecord));
  for (const std::string& path : SplitRecord(Value(kept, kCopiedRecord))) DeleteFileA(path.c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMachineSettingsKey);
}

}  // namespace service
