// READCARD_HOME in place of the host program's directory (native builds):
// a usable setting moves every companion file, any other leaves the host
// program's directory where it was.
#include "text/readcard_home.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <optional>
#include <string>

#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"
#include "text/executable_path.h"
#include "text/module_directory.h"

namespace {

using text::HomeSetting;

// Sets READCARD_HOME for one scope and puts back what was there.
class HomeVariable {
 public:
  explicit HomeVariable(const std::optional<std::string>& value) {
    if (const char* old = getenv(text::kHomeVariable)) m_old = old;
    if (value) {
      setenv(text::kHomeVariable, value->c_str(), 1);
    } else {
      unsetenv(text::kHomeVariable);
    }
  }
  ~HomeVariable() {
    if (m_old) {
      setenv(text::kHomeVariable, m_old->c_str(), 1);
    } else {
      unsetenv(text::kHomeVariable);
    }
  }

 private:
  std::optional<std::string> m_old;
};

std::string ProgramDirectory() {
  return text::DirectoryOf(text::ExecutablePath(), '/', text::IsLeadByte);
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
    std::string directory;  // what GetModuleDirectory answers
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
    const HomeSetting setting = text::ReadHomeSetting();
    EXPECT_EQ(setting.state, c.state) << shown;
    EXPECT_EQ(setting.value, c.value.value_or("")) << shown;
    EXPECT_EQ(setting.directory, c.state == HomeSetting::kUsed ? c.directory : "") << shown;
    EXPECT_EQ(GetModuleDirectory(), c.directory) << shown;
  }
  EXPECT_FALSE(testing_support::IsDirectory(desk + "no such desk"))
      << "an unusable setting creates nothing";
}

TEST(ReadcardHome, IsReadAfreshOnEveryCall) {
  testing_support::ScratchDirectory first;
  testing_support::ScratchDirectory second;
  HomeVariable variable(first.path());
  EXPECT_EQ(GetModuleDirectory(), first.path());
  setenv(text::kHomeVariable, second.path().c_str(), 1);
  EXPECT_EQ(GetModuleDirectory(), second.path());
  testing_support::RemoveTree(second.path());
  EXPECT_EQ(GetModuleDirectory(), ProgramDirectory())
      << "a desk directory that went away no longer counts";
}

}  // namespace
