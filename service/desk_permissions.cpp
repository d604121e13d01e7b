#include "service/desk_permissions.h"

#include <cstdio>

#include "service/system_text.h"

namespace service {
namespace {

const char* const kTrustedSids[] = {
    "S-1-5-32-544",                                                    // Administrators
    "S-1-5-18",                                                        // SYSTEM
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
};

struct Right {
  std::uint32_t bit;
  const char* file;    // its name on a file
  const char* folder;  // and on a folder
};

// The rights that let an account change what the service runs: its
// content, its name, or who may change it.
constexpr Right kWriteRights[] = {
    {0x00000002, "FILE_WRITE_DATA", "FILE_ADD_FILE"},
    {0x00000004, "FILE_APPEND_DATA", "FILE_ADD_SUBDIRECTORY"},
    {0x00000040, "FILE_DELETE_CHILD", "FILE_DELETE_CHILD"},
    {0x00010000, "DELETE", "DELETE"},
    {0x00040000, "WRITE_DAC", "WRITE_DAC"},
    {0x00080000, "WRITE_OWNER", "WRITE_OWNER"},
    {0x10000000, "GENERIC_ALL", "GENERIC_ALL"},
    {0x40000000, "GENERIC_WRITE", "GENERIC_WRITE"},
};

bool Trusted(const std::string& sid, const std::string& serviceSid) {
  if (!serviceSid.empty() && sid == serviceSid) return true;
  for (const char* trusted : kTrustedSids) {
    if (sid == trusted) return true;
  }
  return false;
}

std::string WriteRightsIn(std::uint32_t mask, bool folder) {
  std::string names;
  for (const Right& right : kWriteRights) {
    if ((mask & right.bit) == 0) continue;
    names += (names.empty() ? "" : ", ") + std::string(folder ? right.folder : right.file);
  }
  return names;
}

std::string ModeText(unsigned mode) {
  char text[16];
  std::snprintf(text, sizeof text, "mode %04o", mode & 07777u);
  return text;
}

}  // namespace

std::vector<PermissionFinding> JudgeWindows(const std::string& path,
                                            const WindowsSecurity& security, bool folder,
                                            const std::string& serviceSid) {
  std::vector<PermissionFinding> findings;
  if (security.nullDacl) {
    findings.push_back({path, "", "", Words::kDeskNoAccessList, ""});
    return findings;
  }
  if (!Trusted(security.ownerSid, serviceSid)) {
    findings.push_back({path, security.ownerSid, "", Words::kDeskOwnedBy, ""});
  }
  for (const AccessEntry& entry : security.entries) {
    if (!entry.allows || entry.inheritOnly || Trusted(entry.sid, serviceSid)) continue;
    const std::string rights = WriteRightsIn(entry.mask, folder);
    if (!rights.empty()) findings.push_back({path, entry.sid, "", Words::kDeskWritableBy, rights});
  }
  return findings;
}

std::vector<PermissionFinding> JudgePosix(const std::string& path, const PosixSecurity& security,
                                          bool above, unsigned serviceUid) {
  constexpr unsigned kGroupWrite = 020, kOthersWrite = 002, kSticky = 01000;
  std::vector<PermissionFinding> findings;
  if (security.uid != 0 && security.uid != serviceUid) {
    findings.push_back({path, "uid " + std::to_string(security.uid), "", Words::kDeskOwnedBy, ""});
  }
  if (above && (security.mode & kSticky) != 0) return findings;
  if ((security.mode & kGroupWrite) != 0) {
    findings.push_back({path, "gid " + std::to_string(security.gid), "", Words::kDeskWritableBy,
                        ModeText(security.mode)});
  }
  if ((security.mode & kOthersWrite) != 0) {
    findings.push_back(
        {path, "others", Say(Words::kDeskOthers), Words::kDeskWritableBy, ModeText(security.mode)});
  }
  return findings;
}

std::string DescribeFinding(const PermissionFinding& finding, Language language) {
  const std::string who =
      finding.name.empty() ? finding.account : finding.name + " (" + finding.account + ")";
  return Say(language, finding.why, {LocalTextToUtf8(finding.path), who, finding.detail});
}

}  // namespace service
