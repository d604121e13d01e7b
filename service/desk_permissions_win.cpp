// The owners and access lists of the desk's paths, from
// GetNamedSecurityInfoW. The accounts of the findings are named with
// LookupAccountSidW afterwards, only those: naming a domain's account can
// take a while.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "service/desk_permissions.h"

#include "service/system_text.h"
#include "service/windows_text.h"

namespace service {
namespace {

std::string Utf8(const wchar_t* wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string text(static_cast<std::size_t>(length - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], length, nullptr, nullptr);
  return text;
}

std::string SidText(PSID sid) {
  LPWSTR text = nullptr;
  if (sid == nullptr || !ConvertSidToStringSidW(sid, &text)) return std::string();
  const std::string utf8 = Utf8(text);
  LocalFree(text);
  return utf8;
}

// "BUILTIN\Users" for "S-1-5-32-545"; "" when the system cannot name it.
std::string AccountName(const std::string& sidText) {
  PSID sid = nullptr;
  if (!ConvertStringSidToSidA(sidText.c_str(), &sid)) return std::string();
  wchar_t name[256] = {}, domain[256] = {};
  DWORD nameSize = 256, domainSize = 256;
  SID_NAME_USE use;
  std::string account;
  if (LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) {
    account = domain[0] != L'\0' ? Utf8(domain) + "\\" + Utf8(name) : Utf8(name);
  }
  LocalFree(sid);
  return account;
}

// The account this process runs as: SYSTEM under the service manager.
std::string ProcessSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
  alignas(TOKEN_USER) unsigned char buffer[256];
  DWORD size = 0;
  std::string sid;
  if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) {
    sid = SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
  }
  CloseHandle(token);
  return sid;
}

// The entries as the judge reads them. An allowing kind it cannot read
// (object entries, which files do not carry) counts as one that gives all.
std::vector<AccessEntry> EntriesOf(PACL list) {
  std::vector<AccessEntry> entries;
  ACL_SIZE_INFORMATION size = {};
  if (!GetAclInformation(list, &size, sizeof size, AclSizeInformation)) return entries;
  for (DWORD index = 0; index < size.AceCount; ++index) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(list, index, reinterpret_cast<void**>(&header))) continue;
    AccessEntry entry;
    entry.inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
    switch (header->AceType) {
      case ACCESS_ALLOWED_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
        // The same layout: header, mask, SID.
        auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        entry.mask = allowed->Mask;
        entry.sid = SidText(&allowed->SidStart);
        break;
      }
      case ACCESS_DENIED_ACE_TYPE:
      case ACCESS_DENIED_CALLBACK_ACE_TYPE:
      case ACCESS_DENIED_OBJECT_ACE_TYPE:
      case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
        entry.allows = false;
        break;
      default:
        entry.sid = "ACE type " + std::to_string(header->AceType);
        entry.mask = GENERIC_ALL;
        break;
    }
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace

std::vector<PermissionFinding> CheckDeskPermissions(const std::vector<std::string>& folders,
                                                    const std::vector<std::string>& files) {
  const std::string self = ProcessSid();
  std::vector<PermissionFinding> findings;
  const auto check = [&](std::string path, bool folder) {
    // A folder without its trailing separator, unless it is a drive's root.
    if (folder && path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const std::wstring wide = WideFromSystem(path);
    if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PSID owner = nullptr;
    PACL list = nullptr;
    const DWORD result = GetNamedSecurityInfoW(
        wide.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
        &owner, nullptr, &list, nullptr, &descriptor);
    if (result != ERROR_SUCCESS) {
      findings.push_back({path, "", "", Words::kDeskUnreadable, SystemErrorText(result)});
      return;
    }
    WindowsSecurity security;
    security.ownerSid = SidText(owner);
    security.nullDacl = list == nullptr;
    if (list != nullptr) security.entries = EntriesOf(list);
    LocalFree(descriptor);
    for (PermissionFinding& finding : JudgeWindows(path, security, folder, self)) {
      if (!finding.account.empty()) finding.name = AccountName(finding.account);
      findings.push_back(std::move(finding));
    }
  };
  for (const std::string& folder : folders) check(folder, true);
  for (const std::string& file : files) check(file, false);
  return findings;
}

}  // namespace service
