#include "logger/log_file_name.h"
#include "logger/log_file_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logger/local_time.h"
#include "logger/logger.h"
#include "logger/make_directories.h"
#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"
#include "host/executable_path.h"
#include "host/host_directory.h"

namespace {

using testing_support::IsDirectory;
using testing_support::ReadBytes;
using testing_support::ScratchDirectory;
using testing_support::WriteBytes;

std::vector<std::string> g_made;
bool RecordMade(const std::string& path) {
  g_made.push_back(path);
  // A drive root cannot be made; neither can anything in a blocked place.
  return path != "C:" && path.find("blocked") == std::string::npos;
}
bool GbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

struct MakeCase {
  std::string directory;
  std::vector<std::string> made;
  bool exists;
};

TEST(MakeDirectories, MakesEveryParentFirst) {
  const MakeCase cases[] = {
      {"C:\\Host\\Log\\readcard\\",
       {"C:", "C:\\Host", "C:\\Host\\Log", "C:\\Host\\Log\\readcard"},
       true},
      // relative to the current directory
      {"Log\\readcard\\", {"Log", "Log\\readcard"}, true},
      {"D:\\医院 系统\\Log\\readcard\\",
       {"D:", "D:\\医院 系统", "D:\\医院 系统\\Log", "D:\\医院 系统\\Log\\readcard"},
       true},
      // 0x95 0x5C is one GBK character whose second byte is a backslash.
      {"C:\\\x95\x5C\\Log\\", {"C:", "C:\\\x95\x5C", "C:\\\x95\x5C\\Log"}, true},
      {"C:\\Host\\Log", {"C:", "C:\\Host", "C:\\Host\\Log"}, true},
      {"\\\\server\\share\\Log\\",
       {"\\\\server", "\\\\server\\share", "\\\\server\\share\\Log"},
       true},
      {"C:\\Host\\\\Log\\", {"C:", "C:\\Host", "C:\\Host\\\\Log"}, true},
      {"C:\\blocked\\Log\\", {"C:", "C:\\blocked", "C:\\blocked\\Log"}, false},
      {"", {}, false},
  };
  for (const MakeCase& c : cases) {
    g_made.clear();
    EXPECT_EQ(logger::MakeDirectories(c.directory, '\\', GbkLeadByte, RecordMade), c.exists)
        << c.directory;
    EXPECT_EQ(g_made, c.made) << c.directory;
  }
}

TEST(MakeDirectories, CreatesMissingDirectoriesOnDisk) {
  ScratchDirectory temp;
  const char sep = host::kPathSeparator;
  const std::string log = temp.path() + "Log" + sep;
  const std::string readcard = log + "readcard" + sep;

  EXPECT_TRUE(logger::MakeDirectories(readcard, sep, host::IsLeadByte));
  EXPECT_TRUE(IsDirectory(readcard));
  // Both there already: nothing to do, still fine.
  ASSERT_TRUE(WriteBytes(readcard + "kept.log", "kept"));
  EXPECT_TRUE(logger::MakeDirectories(readcard, sep, host::IsLeadByte));
  EXPECT_EQ(ReadBytes(readcard + "kept.log"), "kept");
}

TEST(MakeDirectories, FailsQuietlyWhenAFileIsInTheWay) {
  ScratchDirectory temp;
  const char sep = host::kPathSeparator;
  ASSERT_TRUE(WriteBytes(temp.path() + "Log", "plain file"));
  EXPECT_FALSE(
      logger::MakeDirectories(temp.path() + "Log" + sep + "readcard" + sep, sep, host::IsLeadByte));
  EXPECT_EQ(ReadBytes(temp.path() + "Log"), "plain file");

  const std::string log = temp.path() + "Log2" + sep;
  ASSERT_TRUE(logger::MakeDirectories(log, sep, host::IsLeadByte));
  ASSERT_TRUE(WriteBytes(log + "readcard", "plain file"));
  EXPECT_FALSE(logger::MakeDirectories(log + "readcard" + sep, sep, host::IsLeadByte));
}

TEST(LibraryLogFile, IsTheDaysFileBelowTheProgramsDirectory) {
  const char sep = host::kPathSeparator;
  const std::string directory = host::HostDirectory() + "Log" + sep + "readcard" + sep;
  std::string before = logger::FormatDate(logger::LocalTimeNow());
  logger::DailyFile file = logger::LibraryLogFile();
  file.OpenFor(logger::LocalTimeNow());
  const std::string path = file.path();
  std::string after = logger::FormatDate(logger::LocalTimeNow());
  EXPECT_TRUE(path == directory + "qtz-" + before + ".log" ||
              path == directory + "qtz-" + after + ".log")
      << path;
  EXPECT_TRUE(IsDirectory(directory));
  // The global file logger opened the same day's file at load.
  EXPECT_EQ(logger::g_fileLogger.fileName().substr(0, directory.size()), directory);
}

}  // namespace
