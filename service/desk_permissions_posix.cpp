// The owners and modes of the desk's paths, from stat(2). A folder is
// judged with every folder above it up to /: renaming any of them swaps
// the desk beneath the service.
#include "service/desk_permissions.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>

namespace service {
namespace {

// The account's name for the log: "alice" for "uid 1000".
std::string NameOf(const PermissionFinding& finding, const struct stat& status) {
  if (finding.account.rfind("uid ", 0) == 0) {
    const passwd* user = getpwuid(status.st_uid);
    return user != nullptr ? user->pw_name : "";
  }
  if (finding.account.rfind("gid ", 0) == 0) {
    const group* members = getgrgid(status.st_gid);
    return members != nullptr ? members->gr_name : "";
  }
  return finding.name;
}

class Checker {
 public:
  // Judges path once; false when it is not there.
  bool Judge(const std::string& path, bool above) {
    if (!m_seen.insert(path).second) return true;
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
      if (errno == ENOENT) return false;
      m_findings.push_back({path, "", "", Words::kDeskUnreadable, std::strerror(errno)});
      return true;
    }
    const PosixSecurity security{static_cast<unsigned>(status.st_uid),
                                 static_cast<unsigned>(status.st_gid),
                                 static_cast<unsigned>(status.st_mode & 07777)};
    for (PermissionFinding& finding : JudgePosix(path, security, above, geteuid())) {
      finding.name = NameOf(finding, status);
      m_findings.push_back(std::move(finding));
    }
    return true;
  }

  // The folder as the system resolves it, then each folder above it.
  void JudgeFolder(const std::string& folder) {
    char resolved[PATH_MAX];
    std::string path = realpath(folder.c_str(), resolved) != nullptr ? resolved : folder;
    if (!Judge(path, false)) return;
    while (path.size() > 1) {
      const std::string::size_type slash = path.find_last_of('/');
      path = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
      Judge(path, true);
    }
  }

  std::vector<PermissionFinding> m_findings;

 private:
  std::set<std::string> m_seen;
};

}  // namespace

std::vector<PermissionFinding> CheckDeskPermissions(const std::vector<std::string>& folders,
                                                    const std::vector<std::string>& files) {
  Checker checker;
  for (const std::string& folder : folders) checker.JudgeFolder(folder);
  for (const std::string& file : files) checker.Judge(file, false);
  return checker.m_findings;
}

}  // namespace service
