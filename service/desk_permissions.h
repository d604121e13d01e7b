#pragma once
// Who besides the administrators may change the service's folder and the
// files it runs. The service runs as LocalSystem (Windows) or under its
// unit's account and loads the card library, the driver and its settings
// from its folder: whoever can write there can run code as the service.
//
// The judging is pure and the same on every platform, so that it is tested
// with made-up access lists and modes; desk_permissions_win.cpp and
// desk_permissions_posix.cpp read the real ones.
#include <cstdint>
#include <string>
#include <vector>

#include "service/messages.h"

namespace service {

// One entry of a Windows access list (DACL), as far as the judge needs it.
struct AccessEntry {
  std::string sid;           // "S-1-5-32-545"; "" for an entry the reader cannot read
  bool allows = true;        // false: a deny entry, which the judge does not count on
  bool inheritOnly = false;  // only for what is created below, not for the object itself
  std::uint32_t mask = 0;
};

// A Windows file's or folder's owner and access list.
struct WindowsSecurity {
  std::string ownerSid;
  bool nullDacl = false;  // no access list at all: everyone may do everything
  std::vector<AccessEntry> entries;
};

// A file's or folder's owner, group and mode bits (POSIX).
struct PosixSecurity {
  unsigned uid = 0;
  unsigned gid = 0;
  unsigned mode = 0;  // the permission bits, the sticky bit included
};

// One way in which a path can be changed by someone the service must not
// trust. why is kDeskWritableBy, kDeskOwnedBy, kDeskNoAccessList or
// kDeskUnreadable.
struct PermissionFinding {
  std::string path;     // as the system gives it (the ANSI code page on Windows)
  std::string account;  // "S-1-5-32-545", "uid 1000", "gid 27", "others"; "" for none
  std::string name;     // the account's name when the system knows it (UTF-8), else ""
  Words why = Words::kCount;
  std::string detail;  // the rights ("FILE_ADD_FILE, DELETE", "mode 0775") or the system's reason
};

// The accounts whose write rights are no risk: Administrators, SYSTEM,
// TrustedInstaller, and the one the service runs as (serviceSid; a service
// that a user runs by hand cannot be raised above that user). A finding for
// an allow entry that gives anyone else a right to write, delete, or change
// the entries or the owner; for an owner outside them (an owner may rewrite
// the list); for no list at all. Deny entries are not counted on.
std::vector<PermissionFinding> JudgeWindows(const std::string& path,
                                            const WindowsSecurity& security, bool folder,
                                            const std::string& serviceSid);

// Owned by root or by the service's own account (serviceUid), writable by
// neither its group nor others. above: a folder above the desk's, which may
// be writable by others when it has the sticky bit (/tmp): there nobody may
// rename or remove an entry that is not theirs.
std::vector<PermissionFinding> JudgePosix(const std::string& path, const PosixSecurity& security,
                                          bool above, unsigned serviceUid);

// The finding in the service's words (UTF-8).
std::string DescribeFinding(const PermissionFinding& finding,
                            Language language = Language::kChinese);

// The service's folders (with their trailing separator) and the files it
// runs or reads. Natively every folder above each folder is judged too.
// A file that is not there is passed over. Paths in the ANSI code page on
// Windows. Checked for the account this process runs as.
std::vector<PermissionFinding> CheckDeskPermissions(const std::vector<std::string>& folders,
                                                    const std::vector<std::string>& files);

}  // namespace service
