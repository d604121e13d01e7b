#include "host/host_directory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "host/executable_path.h"

namespace {

bool NoLeadBytes(unsigned char) { return false; }
// GBK: 0x81 to 0xFE open a two-byte character.
bool GbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

struct DirectoryCase {
  const char* path;
  const char* directory;
};

TEST(DirectoryOf, KeepsEverythingUpToTheLastBackslash) {
  const DirectoryCase cases[] = {
      {"C:\\Host\\host.exe", "C:\\Host\\"},
      {"C:\\host.exe", "C:\\"},
      {"C:\\Program Files\\His Client\\his.exe", "C:\\Program Files\\His Client\\"},
      {"D:\\医院信息系统\\门诊 挂号\\his.exe", "D:\\医院信息系统\\门诊 挂号\\"},
      {"\\\\server\\share\\his.exe", "\\\\server\\share\\"},
      {"C:\\Host\\", "C:\\Host\\"},
      {"host.exe", ""},
      {"C:/Host/host.exe", ""},  // only the backslash separates
      {"C:\\Host/sub/host.exe", "C:\\"},
      {"", ""},
  };
  for (const DirectoryCase& c : cases) {
    EXPECT_EQ(host::DirectoryOf(c.path, '\\', GbkLeadByte), c.directory) << c.path;
  }
}

TEST(DirectoryOf, NeverCutsInsideATwoByteCharacter) {
  // 0x95 0x5C is one GBK character whose second byte has the backslash's code.
  const std::string path = "C:\\Host\\\x95\x5C.exe";
  EXPECT_EQ(host::DirectoryOf(path, '\\', GbkLeadByte), "C:\\Host\\");
  // Without lead bytes the same byte would be taken for a separator.
  EXPECT_EQ(host::DirectoryOf(path, '\\', NoLeadBytes), "C:\\Host\\\x95\x5C");
  // A directory name ending in such a character keeps both of its bytes.
  EXPECT_EQ(host::DirectoryOf("C:\\\x95\x5C\\h.exe", '\\', GbkLeadByte), "C:\\\x95\x5C\\");
}

TEST(HostDirectory, IsTheDirectoryOfThisProgram) {
  std::string directory = host::HostDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_EQ(directory.back(), host::kPathSeparator);
  std::string exe = host::ExecutablePath();
  ASSERT_GT(exe.size(), directory.size());
  EXPECT_EQ(exe.compare(0, directory.size(), directory), 0);
  EXPECT_EQ(exe.find(host::kPathSeparator, directory.size()), std::string::npos);
  EXPECT_TRUE(std::ifstream(exe, std::ios::binary).good()) << exe;
}

}  // namespace
