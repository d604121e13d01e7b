// The log file as a real host program gets it: readcard.dll and cardhost.exe
// are copied into a fresh directory, and cardhost runs there, loading the DLL
// from its own directory as the hospital's program does.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pe_image.h"
#include "tests/support/child_process.h"
#include "tests/support/day_log.h"
#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"

namespace {

using testing_support::DayLogName;
using testing_support::DayLogPath;
using testing_support::IsDirectory;
using testing_support::IsFile;
using testing_support::ProgramRun;
using testing_support::ReadBytes;
using testing_support::ScratchDirectory;
using testing_support::WriteBytes;

// Puts the DLL and the host program into directory.
void InstallHost(const std::string& directory) {
  const std::string from = host::ProgramDirectory();
  for (const char* file : {"readcard.dll", "cardhost.exe"}) {
    ASSERT_TRUE(CopyFileA((from + file).c_str(), (directory + file).c_str(), FALSE))
        << file << " into " << directory << ", error " << GetLastError();
  }
}

// Runs directory\cardhost.exe with arguments in workingDirectory, in English.
ProgramRun RunHost(const std::string& directory, const std::string& arguments,
                   const std::string& workingDirectory) {
  return testing_support::RunProgram(directory + "cardhost.exe", arguments + " --lang en",
                                     workingDirectory);
}

void ExpectVersionAnswered(const ProgramRun& run) {
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("QTZ_DLL_BBH returned 86"), std::string::npos) << run.output;
}

// The names of the entries of directory, as the file system stores them.
std::vector<std::wstring> EntriesOf(const std::string& directory) {
  std::vector<std::wstring> names;
  std::wstring pattern(MAX_PATH, L'\0');
  int length = MultiByteToWideChar(CP_ACP, 0, (directory + "*").c_str(), -1, &pattern[0], MAX_PATH);
  pattern.resize(length > 0 ? length - 1 : 0);
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(pattern.c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return names;
}

// Under Wine: the host file system's name of a Windows path (UTF-8 on Linux);
// "" elsewhere.
std::string UnixNameOf(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return std::string();
  char* unixName = toUnix(path.c_str());
  if (unixName == nullptr) return std::string();
  std::string result = unixName;
  HeapFree(GetProcessHeap(), 0, unixName);
  return result;
}

TEST(LogPlacement, ChineseHostDirectoryWithSpacesGetsItsLogUnchanged) {
  ScratchDirectory scratch;
  const std::string hostDirectory = scratch.path() + "门诊 挂号 读卡程序\\";
  ASSERT_TRUE(CreateDirectoryA(hostDirectory.c_str(), nullptr));
  InstallHost(hostDirectory);
  const std::string before = DayLogName();

  // Started from elsewhere: the log goes below the program, not the current
  // directory.
  ExpectVersionAnswered(RunHost(hostDirectory, "QTZ_DLL_BBH", scratch.path()));

  const std::string logDirectory = hostDirectory + "Log\\readcard\\";
  const std::string after = DayLogName();
  EXPECT_TRUE(IsFile(logDirectory + before) || IsFile(logDirectory + after))
      << logDirectory << before;
  EXPECT_FALSE(IsDirectory(scratch.path() + "Log"));
  // No second directory with a garbled name beside the host's.
  EXPECT_EQ(EntriesOf(scratch.path()), std::vector<std::wstring>{L"门诊 挂号 读卡程序"});
  EXPECT_EQ(EntriesOf(hostDirectory + "Log\\"), std::vector<std::wstring>{L"readcard"});

  std::wstring wideLog(MAX_PATH, L'\0');
  int length = MultiByteToWideChar(CP_ACP, 0, logDirectory.c_str(), -1, &wideLog[0], MAX_PATH);
  wideLog.resize(length > 0 ? length - 1 : 0);
  std::string unixName = UnixNameOf(wideLog);
  if (!unixName.empty()) {
    EXPECT_NE(unixName.find(u8"/门诊 挂号 读卡程序/Log/readcard"), std::string::npos) << unixName;
  }
}

// The lines of what a program printed that start with label.
std::string LineAbout(const ProgramRun& run, const std::string& label) {
  std::size_t start = 0;
  while (start < run.output.size()) {
    std::size_t end = run.output.find('\n', start);
    if (end == std::string::npos) end = run.output.size();
    std::string line = run.output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, label.size(), label) == 0) return line;
    start = end + 1;
  }
  return std::string();
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// In GBK the second byte of many two-byte characters is the backslash's code:
// 運 is 0xDF 0x5C. A host program whose name holds one, in a directory whose
// name holds one, finds Login.ini and the driver beside itself and writes its
// log below its own directory; a search for the last 0x5C byte would cut its
// path inside the file name and look in a directory named with half a
// character.
TEST(LogPlacement, AHostNamedWithABackslashTrailByteFindsItsFilesBesideIt) {
  ASSERT_EQ(std::string("運"), "\xDF\x5C") << "the test's text is GBK";
  ASSERT_TRUE(IsDBCSLeadByte(0xDF)) << "the ANSI code page is 936";
  ScratchDirectory scratch;
  const std::string hostDirectory = scratch.path() + "運行\\";
  ASSERT_TRUE(CreateDirectoryA(hostDirectory.c_str(), nullptr));
  InstallHost(hostDirectory);
  const std::string program = hostDirectory + "读卡運.exe";
  ASSERT_TRUE(CopyFileA((hostDirectory + "cardhost.exe").c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((host::ProgramDirectory() + "SSCardDriver.dll").c_str(),
                        (hostDirectory + "SSCardDriver.dll").c_str(), FALSE));
  auto run = [&](const char* arguments) {
    return testing_support::RunProgram(program, std::string(arguments) + " --lang en",
                                       scratch.path());
  };
  const std::string numberLine = "  card number (5th argument): ";

  // Login.ini: the virtual card it configures.
  ASSERT_TRUE(WriteBytes(hostDirectory + "Login.ini",
                         "[MAIN]\r\nREALCARD=TRUE\r\n[QTZH]\r\nCURRENT=1\r\n1=運0001\r\n"));
  ProgramRun virtualCard = run("QTZ_DKH");
  EXPECT_EQ(virtualCard.exitCode, 0u) << virtualCard.output;
  EXPECT_EQ(LineAbout(virtualCard, numberLine), numberLine + "運0001");

  // The driver: the card it reads.
  ASSERT_TRUE(WriteBytes(hostDirectory + "Login.ini", "[MAIN]\r\nREALCARD=FALSE\r\n"));
  ASSERT_TRUE(WriteBytes(hostDirectory + "SSCardDriver.txt", "0\nA|B|D0002|D\n"));
  ProgramRun card = run("QTZ_DKH");
  EXPECT_EQ(card.exitCode, 0u) << card.output;
  EXPECT_EQ(LineAbout(card, numberLine), numberLine + "D0002");

  // The log: a failed read's record, below the host's own directory.
  const std::string before = DayLogName();
  ASSERT_TRUE(WriteBytes(hostDirectory + "SSCardDriver.txt", "-3\nNOCARD"));
  ProgramRun failed = run("QTZ_DKH");
  EXPECT_EQ(failed.exitCode, 1u) << failed.output;
  const std::string after = DayLogName();
  std::string log = ReadBytes(hostDirectory + "Log\\readcard\\" + before);
  if (before != after) log += ReadBytes(hostDirectory + "Log\\readcard\\" + after);
  EXPECT_NE(log.find("]\t读卡失败,错误码:-3 错误信息NOCARD\r\n"), std::string::npos) << log;

  // Nothing went anywhere else.
  EXPECT_EQ(EntriesOf(scratch.path()), std::vector<std::wstring>{L"運行"});
  EXPECT_EQ(Sorted(EntriesOf(hostDirectory)),
            Sorted({L"Log", L"Login.ini", L"SSCardDriver.dll", L"SSCardDriver.txt", L"cardhost.exe",
                    L"readcard.dll", L"读卡運.exe"}));
  EXPECT_EQ(EntriesOf(hostDirectory + "Log\\"), std::vector<std::wstring>{L"readcard"});
}

TEST(LogPlacement, ASecondLoadTheSameDayAppends) {
  ScratchDirectory scratch;
  InstallHost(scratch.path());
  ExpectVersionAnswered(RunHost(scratch.path(), "QTZ_DLL_BBH", scratch.path()));
  const std::string logFile = DayLogPath(scratch.path(), '\\');
  ASSERT_TRUE(IsFile(logFile)) << logFile;
  const std::string earlier = "[2021-12-21 09:05:03][Error]\tearlier\r\n";
  ASSERT_TRUE(WriteBytes(logFile, earlier)) << logFile;

  ExpectVersionAnswered(RunHost(scratch.path(), "QTZ_DLL_BBH", scratch.path()));
  EXPECT_EQ(ReadBytes(logFile).substr(0, earlier.size()), earlier);
}

// Whatever stands in the way of the log, the library loads and answers.
TEST(LogPlacement, TheLibraryAnswersWhenTheLogDirectoryCannotBeMade) {
  struct Obstacle {
    const char* what;
    const char* directoryToMake;  // below the host's directory, or nullptr
    const char* fileInTheWay;
  };
  const Obstacle obstacles[] = {
      {"a file named Log", nullptr, "Log"},
      {"a file named readcard", "Log", "Log\\readcard"},
  };
  for (const Obstacle& obstacle : obstacles) {
    SCOPED_TRACE(obstacle.what);
    ScratchDirectory scratch;
    InstallHost(scratch.path());
    if (obstacle.directoryToMake != nullptr) {
      CreateDirectoryA((scratch.path() + obstacle.directoryToMake).c_str(), nullptr);
    }
    const std::string blocker = scratch.path() + obstacle.fileInTheWay;
    ASSERT_TRUE(WriteBytes(blocker, "in the way")) << blocker;
    ExpectVersionAnswered(RunHost(scratch.path(), "QTZ_DLL_BBH", scratch.path()));
    EXPECT_EQ(ReadBytes(blocker), "in the way");
  }
}

TEST(LogPlacement, TheLibraryAnswersWhenTheLogPathIsTooLong) {
  ScratchDirectory scratch;
  // A host directory so deep that the program still fits in MAX_PATH but
  // Log\readcard\qtz-YYYY-MM-DD.log below it does not.
  std::string hostDirectory = scratch.path();
  const size_t wanted = MAX_PATH - 1 - std::string("cardhost.exe").size() - 2;
  while (hostDirectory.size() < wanted) {
    size_t part = std::min<size_t>(100, wanted - hostDirectory.size() - 1);
    if (part == 0) break;
    hostDirectory += std::string(part, 'd') + "\\";
    ASSERT_TRUE(CreateDirectoryA(hostDirectory.c_str(), nullptr)) << hostDirectory;
  }
  ASSERT_GT(hostDirectory.size() + std::string("Log\\readcard\\qtz-2021-12-21.log").size(),
            static_cast<size_t>(MAX_PATH));
  InstallHost(hostDirectory);
  ExpectVersionAnswered(RunHost(hostDirectory, "QTZ_DLL_BBH", scratch.path()));
  EXPECT_FALSE(IsFile(DayLogPath(hostDirectory, '\\')));
}

}  // namespace
