// READCARD_HOME in place of the host program's directory (native builds):
// a usable setting moves every companion file, any other leaves the host
// program's directory where it was.
#include "host/readcard_home.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <optional>
#include <string>

#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"
#include "host/executable_path.h"
#include "host/host_directory.h"

namespace {

using host::HomeSetting;

// Sets READCARD_HOME for one scope and puts back what was there.
class HomeVariable {
 public:
  explicit HomeVariable(const std::optional<std::string>& value) {
    if (const char* old = getenv(host::kHomeVariable)) m_old = old;
    if (value) {
      setenv(host::kHomeVariable, value->c_str(), 1);
    } else {
      unsetenv(host::kHomeVariable);
    }
  }
  ~HomeVariable() {
    if (m_old) {
      setenv(host::kHomeVariable, m_old->c_str(), 1);
    } else {
      unsetenv(host::kHomeVariable);
    }
  }

 private:
  std::optional<std::string> m_old;
};

std::string ProgramDirectory() {
  return host::DirectoryOf(host::ExecutablePath(), '/', host::IsLeadByte);
}

TEST(ReadcardHome, TakesTheHostDirectorysPlaceOnlyWhenItNamesADirectory) {
  testing_support::ScratchDirectory scratch;
  const std::string desk = scratch.path();  // ends in '/'
  const std::string deskWithoutSlash = desk.substr(0, desk.size() - 1);
  const std::string chinese = scratch.path() + "门诊 挂号";
  ASSERT_EQ(mkdir(chinese.c_str(), 0755), 0);
  const std::string file = scratch.Write("Login.ini", "[MAIN]\n");
  const std::string program = ProgramDirectory();
  ASSERT_FALSE(program.empty());

  const struct {
    std::optional<std::string> value;
    HomeSetting::State state;
    std::string directory;  // what HostDirectory answers
  } cases[] = {
      {std::nullopt, HomeSetting::kNotSet, program},
      {desk, HomeSetting::kUsed, desk},
      {deskWithoutSlash, HomeSetting::kUsed, desk},
      {chinese, HomeSetting::kUsed, chinese + "/"},
      {std::string(), HomeSetting::kEmpty, program},
      {std::string("desk"), HomeSetting::kNotAbsolute, program},
      {std::string("./"), HomeSetting::kNotAbsolute, program},
      {desk + "no such desk", HomeSetting::kNotADirectory, program},
      {file, HomeSetting::kNotADirectory, program},
  };
  for (const auto& c : cases) {
    const std::string shown = c.value ? "\"" + *c.value + "\"" : "(unset)";
    HomeVariable variable(c.value);
    const HomeSetting setting = host::ReadHomeSetting();
    EXPECT_EQ(setting.state, c.state) << shown;
    EXPECT_EQ(setting.value, c.value.value_or("")) << shown;
    EXPECT_EQ(setting.directory, c.state == HomeSetting::kUsed ? c.directory : "") << shown;
    EXPECT_EQ(host::HostDirectory(), c.directory) << shown;
  }
  EXPECT_FALSE(testing_support::IsDirectory(desk + "no such desk"))
      << "an unusable setting creates nothing";
}

TEST(ReadcardHome, IsReadAfreshOnEveryCall) {
  testing_support::ScratchDirectory first;
  testing_support::ScratchDirectory second;
  HomeVariable variable(first.path());
  EXPECT_EQ(host::HostDirectory(), first.path());
  setenv(host::kHomeVariable, second.path().c_str(), 1);
  EXPECT_EQ(host::HostDirectory(), second.path());
  testing_support::RemoveTree(second.path());
  EXPECT_EQ(host::HostDirectory(), ProgramDirectory())
      << "a desk directory that went away no longer counts";
}

}  // namespace
