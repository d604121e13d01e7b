// The log file as a real host program gets it: readcard.dll and cardhost.exe
// are copied into a fresh directory, and cardhost runs there, loading the DLL
// from its own directory as the hospital's program does.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "pe_image.h"

namespace {

// A directory of its own below the temporary directory, with its trailing
// backslash; removed with its contents afterwards.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    static int counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    char name[64];
    std::snprintf(name, sizeof name, "readcard-log-%lu-%lu-%d\\",
                  GetCurrentProcessId(), GetTickCount(), counter++);
    m_path = std::string(temp) + name;
    CreateDirectoryA(m_path.c_str(), nullptr);
  }
  ~ScratchDirectory() { RemoveTree(m_path); }
  const std::string& path() const { return m_path; }

  static void RemoveTree(const std::string& directory) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((directory + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(directory + name + "\\");
        } else {
          DeleteFileA((directory + name).c_str());
        }
      } while (FindNextFileA(find, &entry));
      FindClose(find);
    }
    RemoveDirectoryA(directory.c_str());
  }

 private:
  std::string m_path;
};

bool IsDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ReadWholeFile(const std::string& path) {
  std::string content;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      content.append(buffer, count);
    }
    std::fclose(file);
  }
  return content;
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

// The log file name of today's local date.
std::string TodaysLogName() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char name[32];
  std::snprintf(name, sizeof name, "qtz-%d-%02d-%02d.log", now.wYear,
                now.wMonth, now.wDay);
  return name;
}

// Puts the DLL and the host program into directory.
void InstallHost(const std::string& directory) {
  const std::string from = host::ProgramDirectory();
  for (const char* file : {"readcard.dll", "cardhost.exe"}) {
    ASSERT_TRUE(CopyFileA((from + file).c_str(), (directory + file).c_str(), FALSE))
        << file << " into " << directory << ", error " << GetLastError();
  }
}

struct HostRun {
  DWORD exitCode = 0;
  std::string output;
};

// Runs directory\cardhost.exe with arguments in workingDirectory, capturing
// its standard output.
HostRun RunHost(const std::string& directory, const std::string& arguments,
                const std::string& workingDirectory) {
  HostRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    ADD_FAILURE() << "CreatePipe failed";
    return run;
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  const std::string program = directory + "cardhost.exe";
  std::string commandLine = "\"" + program + "\" " + arguments;
  BOOL started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr,
                                TRUE, 0, nullptr, workingDirectory.c_str(),
                                &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    ADD_FAILURE() << "cannot start " << program << ", error " << GetLastError();
    CloseHandle(readEnd);
    return run;
  }
  char buffer[512];
  DWORD count = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    run.output.append(buffer, count);
  }
  CloseHandle(readEnd);
  WaitForSingleObject(process.hProcess, 60000);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

void ExpectVersionAnswered(const HostRun& run) {
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("QTZ_DLL_BBH returned 86"), std::string::npos)
      << run.output;
}

// The names of the entries of directory, as the file system stores them.
std::vector<std::wstring> EntriesOf(const std::string& directory) {
  std::vector<std::wstring> names;
  std::wstring pattern(MAX_PATH, L'\0');
  int length = MultiByteToWideChar(CP_ACP, 0, (directory + "*").c_str(), -1,
                                   &pattern[0], MAX_PATH);
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
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(GetProcAddress(
      GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
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
  const std::string before = TodaysLogName();

  // Started from elsewhere: the log goes below the program, not the current
  // directory.
  ExpectVersionAnswered(RunHost(hostDirectory, "QTZ_DLL_BBH", scratch.path()));

  const std::string logDirectory = hostDirectory + "Log\\readcard\\";
  const std::string after = TodaysLogName();
  EXPECT_TRUE(IsFile(logDirectory + before) || IsFile(logDirectory + after))
      << logDirectory << before;
  EXPECT_FALSE(IsDirectory(scratch.path() + "Log"));
  // No second directory with a garbled name beside the host's.
  EXPECT_EQ(EntriesOf(scratch.path()),
            std::vector<std::wstring>{L"门诊 挂号 读卡程序"});
  EXPECT_EQ(EntriesOf(hostDirectory + "Log\\"), std::vector<std::wstring>{L"readcard"});

  std::wstring wideLog(MAX_PATH, L'\0');
  int length = MultiByteToWideChar(CP_ACP, 0, logDirectory.c_str(), -1,
                                   &wideLog[0], MAX_PATH);
  wideLog.resize(length > 0 ? length - 1 : 0);
  std::string unixName = UnixNameOf(wideLog);
  if (!unixName.empty()) {
    EXPECT_NE(unixName.find(u8"/门诊 挂号 读卡程序/Log/readcard"), std::string::npos)
        << unixName;
  }
}

TEST(LogPlacement, ASecondLoadTheSameDayAppends) {
  ScratchDirectory scratch;
  InstallHost(scratch.path());
  ExpectVersionAnswered(RunHost(scratch.path(), "QTZ_DLL_BBH", scratch.path()));
  const std::string logFile = scratch.path() + "Log\\readcard\\" + TodaysLogName();
  ASSERT_TRUE(IsFile(logFile)) << logFile;
  const std::string earlier = "[2021-12-21 09:05:03][Error]\tearlier\r\n";
  WriteWholeFile(logFile, earlier);

  ExpectVersionAnswered(RunHost(scratch.path(), "QTZ_DLL_BBH", scratch.path()));
  EXPECT_EQ(ReadWholeFile(logFile).substr(0, earlier.size()), earlier);
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
    WriteWholeFile(blocker, "in the way");
    ExpectVersionAnswered(RunHost(scratch.path(), "QTZ_DLL_BBH", scratch.path()));
    EXPECT_EQ(ReadWholeFile(blocker), "in the way");
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
  EXPECT_FALSE(IsFile(hostDirectory + "Log\\readcard\\" + TodaysLogName()));
}

}  // namespace
