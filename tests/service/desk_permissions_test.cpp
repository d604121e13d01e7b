// Who besides the administrators may change the service's folder and files:
// the judging with made-up access lists and modes, then the system's own.
#include <gtest/gtest.h>

#include <tuple>

#include "service/desk_permissions.h"
#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"

namespace service {
namespace {

using Found = std::tuple<Words, std::string, std::string>;  // why, account, rights

std::vector<Found> Summary(const std::vector<PermissionFinding>& findings) {
  std::vector<Found> summary;
  for (const PermissionFinding& f : findings) summary.emplace_back(f.why, f.account, f.detail);
  return summary;
}

const char kAdministrators[] = "S-1-5-32-544";
const char kSystem[] = "S-1-5-18";
const char kTrustedInstaller[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const char kUsers[] = "S-1-5-32-545";
const char kEveryone[] = "S-1-1-0";
const char kDeskUser[] = "S-1-5-21-1004336348-1177238915-682003330-1001";
constexpr std::uint32_t kFullControl = 0x001F01FF;
constexpr std::uint32_t kReadAndExecute = 0x001200A9;
constexpr std::uint32_t kModify = 0x001301BF;
const char kModifyRights[] = "FILE_WRITE_DATA, FILE_APPEND_DATA, DELETE";

TEST(DeskPermissions, WindowsAccessListsGiveWritingToAdministratorsOnly) {
  const std::vector<AccessEntry> adminOnly = {{kAdministrators, true, false, kFullControl},
                                              {kSystem, true, false, kFullControl},
                                              {kTrustedInstaller, true, false, kFullControl}};
  const auto with = [&adminOnly](AccessEntry more) {
    std::vector<AccessEntry> entries = adminOnly;
    entries.push_back(more);
    return WindowsSecurity{kAdministrators, false, entries};
  };
  struct Case {
    const char* name;
    WindowsSecurity security;
    bool folder;
    std::vector<Found> found;
    const char* self = kSystem;  // the account the service runs as
  };
  const std::vector<Case> cases = {
      {"administrators, SYSTEM and TrustedInstaller only", {kSystem, false, adminOnly}, true, {}},
      {"everyone may read and run", with({kEveryone, true, false, kReadAndExecute}), true, {}},
      {"users may add files to the folder",
       with({kUsers, true, false, kReadAndExecute | 0x6}),
       true,
       {{Words::kDeskWritableBy, kUsers, "FILE_ADD_FILE, FILE_ADD_SUBDIRECTORY"}}},
      {"a desk user may modify the library",
       with({kDeskUser, true, false, kModify}),
       false,
       {{Words::kDeskWritableBy, kDeskUser, kModifyRights}}},
      {"users may rewrite the list, by name and generically",
       with({kUsers, true, false, 0x40040000}),
       false,
       {{Words::kDeskWritableBy, kUsers, "WRITE_DAC, GENERIC_WRITE"}}},
      {"no access list: everyone may do everything",
       {kAdministrators, true, {}},
       true,
       {{Words::kDeskNoAccessList, "", ""}}},
      {"owned by a desk user, who may rewrite the list",
       {kDeskUser, false, adminOnly},
       true,
       {{Words::kDeskOwnedBy, kDeskUser, ""}}},
      // Program Files: CREATOR OWNER's full control is for what is created below.
      {"an entry only for what is created below",
       with({"S-1-3-0", true, true, 0x10000000}),
       true,
       {}},
      {"a deny entry is not counted on",
       {kSystem, false, {{kUsers, false, false, kModify}, {kUsers, true, false, kModify}}},
       false,
       {{Words::kDeskWritableBy, kUsers, kModifyRights}}},
      {"the account the service runs as (Wine's user)",
       {kDeskUser,
        false,
        {{kDeskUser, true, false, kFullControl}, {kEveryone, true, false, kReadAndExecute}}},
       true,
       {},
       kDeskUser},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Summary(JudgeWindows("C:\\HIS", c.security, c.folder, c.self)), c.found);
  }
}

TEST(DeskPermissions, PosixPathsAreRootsAndWritableByNobodyElse) {
  struct Case {
    const char* name;
    PosixSecurity security;
    bool above;
    std::vector<Found> found;
  };
  const Found others0777{Words::kDeskWritableBy, "others", "mode 0777"};
  const std::vector<Case> cases = {
      {"root's, 0755", {0, 0, 0755}, false, {}},
      {"the service account's own, 0750", {1000, 1000, 0750}, false, {}},
      {"group-writable, 0775",
       {0, 27, 0775},
       false,
       {{Words::kDeskWritableBy, "gid 27", "mode 0775"}}},
      {"writable by all, 0777",
       {0, 0, 0777},
       false,
       {{Words::kDeskWritableBy, "gid 0", "mode 0777"}, others0777}},
      {"owned by another user", {1001, 1001, 0755}, false, {{Words::kDeskOwnedBy, "uid 1001", ""}}},
      {"/tmp above the desk: sticky", {0, 0, 01777}, true, {}},
      {"/tmp as the desk itself",
       {0, 0, 01777},
       false,
       {{Words::kDeskWritableBy, "gid 0", "mode 1777"},
        {Words::kDeskWritableBy, "others", "mode 1777"}}},
      {"group-writable above the desk",
       {0, 50, 02775},
       true,
       {{Words::kDeskWritableBy, "gid 50", "mode 2775"}}},
      {"another user's sticky folder above",
       {1001, 1001, 01777},
       true,
       {{Words::kDeskOwnedBy, "uid 1001", ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Summary(JudgePosix("/opt/desk", c.security, c.above, 1000)), c.found);
  }
}

// The system's own answer for a folder everyone may write: natively /tmp;
// under Wine the same folder as Z:\tmp (Wine shows its mode 1777 as
// Everyone's right to modify). A fresh folder of this test's is fine.
TEST(DeskPermissions, ReadsTheSystemsOwnersAndRights) {
#ifdef _WIN32
  const std::string open = "Z:\\tmp\\";
  if (!testing_support::IsDirectory(open)) GTEST_SKIP() << "no Z:\\tmp: not under Wine";
  const char* everyone = kEveryone;
#else
  const std::string open = "/tmp/";
  const char* everyone = "others";
#endif
  bool found = false;
  for (const PermissionFinding& f : CheckDeskPermissions({open}, {})) {
    found = found || (f.account == everyone && f.why == Words::kDeskWritableBy);
  }
  EXPECT_TRUE(found);

  testing_support::ScratchDirectory desk;
  const std::string library = desk.Write("readcard.dll", "MZ");
  for (const PermissionFinding& f :
       CheckDeskPermissions({desk.path()}, {library, desk.File("SSCardDriver.dll")})) {
    ADD_FAILURE() << DescribeFinding(f);
  }
}

}  // namespace
}  // namespace service
