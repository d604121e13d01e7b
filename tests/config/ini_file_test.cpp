#include <gtest/gtest.h>

#include <random>
#include <string>

#include "config/ini_reader.h"
#include "tests/config/ini_section_cases.h"
#include "tests/support/scratch_directory.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace config {
namespace {

using testing_support::ScratchDirectory;

TEST(ReadIniSection, ReadsFilesAsItReadsText) {
  ScratchDirectory directory;
  int number = 0;
  for (const IniSectionCase& c : IniSectionCases()) {
    std::string path = directory.Write("case" + std::to_string(++number) + ".ini", c.text);
    IniSection section = {{"stale", "pair"}};
    EXPECT_TRUE(ReadIniSection(path, section, c.section)) << c.what;
    EXPECT_EQ(section, c.pairs) << c.what;
  }
}

TEST(ReadIniSection, MissingFileGivesFalseAndAnEmptySection) {
  ScratchDirectory directory;
  IniSection section = {{"stale", "pair"}};
  EXPECT_FALSE(ReadIniSection(directory.path() + "Login.ini", section, "MAIN"));
  EXPECT_TRUE(section.empty());
}

TEST(ReadIniSection, MissingSectionGivesTrueAndAnEmptySection) {
  ScratchDirectory directory;
  std::string path = directory.Write("Login.ini", "[QTZH]\nCURRENT=1\n");
  IniSection section = {{"stale", "pair"}};
  EXPECT_TRUE(ReadIniSection(path, section, "MAIN"));
  EXPECT_TRUE(section.empty());
}

TEST(ReadIniSection, ReadsChangesOnTheNextCall) {
  ScratchDirectory directory;
  std::string path = directory.Write("Login.ini", "[MAIN]\nREALCARD=true\n");
  IniSection section;
  ASSERT_TRUE(ReadIniSection(path, section, "MAIN"));
  EXPECT_EQ(section["REALCARD"], "true");
  directory.Write("Login.ini", "[MAIN]\nREALCARD=false\n");
  ASSERT_TRUE(ReadIniSection(path, section, "MAIN"));
  EXPECT_EQ(section["REALCARD"], "false");
}

TEST(ReadIniSection, SurvivesHostileContent) {
  ScratchDirectory directory;
  const std::string longValue(2 * 1024 * 1024, 'v');
  std::string path =
      directory.Write("long.ini", "[MAIN]\nLONG=" + longValue + "\n" + std::string(300000, '#') +
                                      "\nK=" + std::string(100000, '=') + "\n");
  IniSection section;
  ASSERT_TRUE(ReadIniSection(path, section, "MAIN"));
  // Compared as truth values: a failure would otherwise print megabytes.
  EXPECT_TRUE(section["LONG"] == longValue);
  EXPECT_TRUE(section["K"] == std::string(100000, '='));

  path = directory.Write("zero-bytes.ini", std::string("[MAIN]\0\nK=\0\0\n\0\0\0=1\n", 18));
  ASSERT_TRUE(ReadIniSection(path, section, "MAIN"));
  EXPECT_EQ(section, (IniSection{{"K", std::string(2, '\0')}, {std::string(3, '\0'), "1"}}));

  // Binary noise after a good pair, with no Ctrl-Z and no "[" to end it early.
  std::mt19937 random(20211221);
  std::string noise;
  for (int i = 0; i < 256 * 1024; ++i) {
    char byte = static_cast<char>(random() & 0xFF);
    noise.push_back(byte == '\x1A' || byte == '[' ? 'z' : byte);
  }
  path = directory.Write("binary.ini", "[MAIN]\nFIRST=1\n" + noise);
  ASSERT_TRUE(ReadIniSection(path, section, "MAIN"));
  EXPECT_EQ(section["FIRST"], "1");
}

#ifdef _WIN32

// The host may keep Login.ini open, for writing too; the read must still see
// the file. A handle that shares no reading shows that the check bites.
TEST(ReadIniSection, ReadsAFileThatAnotherHandleHoldsOpen) {
  ScratchDirectory directory;
  std::string path = directory.Write("Login.ini", "[MAIN]\r\nREALCARD=true\r\n");
  struct Holder {
    DWORD access;
    DWORD share;
    bool readable;
  };
  const Holder holders[] = {
      {GENERIC_WRITE, FILE_SHARE_READ, true},
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
      {GENERIC_READ, FILE_SHARE_READ, true},
      {GENERIC_WRITE, 0, false},
      {GENERIC_READ, FILE_SHARE_WRITE, false},
  };
  for (const Holder& holder : holders) {
    HANDLE handle = CreateFileA(path.c_str(), holder.access, holder.share, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    IniSection section;
    EXPECT_EQ(ReadIniSection(path, section, "MAIN"), holder.readable)
        << "access " << holder.access << " share " << holder.share;
    EXPECT_EQ(section.count("REALCARD"), holder.readable ? 1u : 0u);
    CloseHandle(handle);
  }
}

TEST(ReadIniSection, SeesWhatTheHoldingHostHasWritten) {
  ScratchDirectory directory;
  std::string path = directory.File("Login.ini");
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  const char text[] = "[MAIN]\r\nREALCARD=True\r\n";
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(handle, text, sizeof text - 1, &written, nullptr));
  IniSection section;
  EXPECT_TRUE(ReadIniSection(path, section, "MAIN"));
  EXPECT_EQ(section["REALCARD"], "True");
  CloseHandle(handle);
}

// Paths are ANSI text in code page 936: a GBK directory name must reach the
// same file that the wide name 读卡 names.
TEST(ReadIniSection, TakesPathsInTheAnsiCodePage) {
  ScratchDirectory directory;
  wchar_t wideDirectory[MAX_PATH] = {};
  ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, directory.path().c_str(), -1, wideDirectory, MAX_PATH),
            0);
  std::wstring widePath = std::wstring(wideDirectory) + L"读卡.ini";
  HANDLE handle = CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  const char text[] = "[MAIN]\r\nK=1\r\n";
  DWORD written = 0;
  WriteFile(handle, text, sizeof text - 1, &written, nullptr);
  CloseHandle(handle);

  std::string gbkPath = directory.File("读卡.ini");  // GBK bytes
  ASSERT_EQ(gbkPath.substr(gbkPath.size() - 8), "\xB6\xC1\xBF\xA8.ini");
  IniSection section;
  EXPECT_TRUE(ReadIniSection(gbkPath, section, "MAIN"));
  EXPECT_EQ(section["K"], "1");
}

#endif  // _WIN32

}  // namespace
}  // namespace config
