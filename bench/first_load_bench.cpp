// first_load_bench: what a host pays when it loads readcard.dll for the first
// time in its process, against loading a DLL that does nothing
// (empty_library.dll) and one that starts only the C++ runtime as
// readcard.dll links it (empty_cxx_library.dll). Run under Wine (or on
// Windows) from a directory holding the three DLLs:
//
//   first_load_bench [ROUNDS]
//
// Each round starts fresh processes, one per DLL, in turns. Each child
// times LoadLibraryA up to the first answer of QTZ_DLL_BBH, then frees the
// DLL and times the same again (the DLL's own start-up without the system's
// first-time work), and prints both; the parent also times the whole child
// process. A further child per round times, in a fresh process and without
// any DLL, the system calls that readcard.dll's own start-up makes: the
// host program's path, the local time, and opening the day's log file in a
// log directory that exists. Prints the medians and the ratios to the empty
// DLL.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using NoArgs = int32_t(__stdcall*)();

std::string OwnPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string OwnDirectory() {
  const std::string path = OwnPath();
  return path.substr(0, path.rfind('\\') + 1);
}

double Microseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return (end.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// LoadLibraryA up to the first answer of QTZ_DLL_BBH, in microseconds; then
// the library is freed. Negative when it could not be loaded or answered.
double LoadAndAsk(const char* library) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  HMODULE module = LoadLibraryA((OwnDirectory() + library).c_str());
  if (module == nullptr) return -1;
  auto version =
      reinterpret_cast<NoArgs>(reinterpret_cast<void*>(GetProcAddress(module, "QTZ_DLL_BBH")));
  const bool answered = version != nullptr && version() == 86;
  QueryPerformanceCounter(&end);
  FreeLibrary(module);
  return answered ? Microseconds(start, end) : -1;
}

// The system calls of readcard.dll's start-up, each timed once in this
// fresh process, printed as "path time open" in microseconds.
int StepsChild() {
  LARGE_INTEGER marks[4];
  char path[MAX_PATH] = {};
  QueryPerformanceCounter(&marks[0]);
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  QueryPerformanceCounter(&marks[1]);
  SYSTEMTIME now;
  GetLocalTime(&now);
  QueryPerformanceCounter(&marks[2]);
  const std::string log = OwnDirectory() + "Log\\readcard\\first_load_bench.log";
  HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  QueryPerformanceCounter(&marks[3]);
  if (file == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(file);
  std::printf("%.1f %.1f %.1f\n", Microseconds(marks[0], marks[1]),
              Microseconds(marks[1], marks[2]), Microseconds(marks[2], marks[3]));
  return 0;
}

// The child: a first load and a second one, printed as "first second".
int Child(const char* library) {
  const double first = LoadAndAsk(library);
  const double second = LoadAndAsk(library);
  if (first < 0 || second < 0) return 1;
  std::printf("%.0f %.0f\n", first, second);
  return 0;
}

struct Run {
  double firstLoad;   // microseconds from LoadLibraryA to the first answer
  double secondLoad;  // the same after FreeLibrary, in the same process
  double process;     // microseconds from CreateProcess to the child's end
};

// Runs this program again with arguments; output gets what it printed and
// microseconds how long it ran. False when it could not start or failed.
bool RunSelf(const std::string& arguments, std::string& output, double& microseconds) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::string commandLine = "\"" + OwnPath() + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  const bool started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      OwnDirectory().c_str(), &startup, &process);
  CloseHandle(writeEnd);
  char buffer[256];
  DWORD got = 0;
  while (started && ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    output.append(buffer, got);
  }
  CloseHandle(readEnd);
  if (!started) return false;
  WaitForSingleObject(process.hProcess, INFINITE);
  QueryPerformanceCounter(&end);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  microseconds = Microseconds(start, end);
  return exitCode == 0;
}

bool RunChild(const char* library, Run& run) {
  std::string output;
  return RunSelf(std::string("--child ") + library, output, run.process) &&
         std::sscanf(output.c_str(), "%lf %lf", &run.firstLoad, &run.secondLoad) == 2;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

constexpr int kLibraries = 3;
const char* const kLibraryFiles[kLibraries] = {"empty_library.dll", "empty_cxx_library.dll",
                                               "readcard.dll"};

void Report(const char* what, const std::vector<double> (&times)[kLibraries]) {
  const double floor = Median(times[0]);
  std::printf("%-30s", what);
  for (const std::vector<double>& library : times) {
    std::printf(" %9.0f us %5.2f", Median(library), Median(library) / floor);
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--child") == 0) return Child(argv[2]);
  if (argc == 2 && std::strcmp(argv[1], "--steps") == 0) return StepsChild();
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  CreateDirectoryA((OwnDirectory() + "Log").c_str(), nullptr);
  CreateDirectoryA((OwnDirectory() + "Log\\readcard").c_str(), nullptr);

  std::vector<double> firstLoads[kLibraries], secondLoads[kLibraries], processes[kLibraries];
  std::vector<double> steps[3];
  for (int round = 0; round < rounds; ++round) {
    for (int which = 0; which < kLibraries; ++which) {
      Run run;
      if (!RunChild(kLibraryFiles[which], run)) {
        std::printf("%s: the child could not load it or got no answer\n", kLibraryFiles[which]);
        return 1;
      }
      firstLoads[which].push_back(run.firstLoad);
      secondLoads[which].push_back(run.secondLoad);
      processes[which].push_back(run.process);
    }
    std::string output;
    double unused = 0, path = 0, time = 0, open = 0;
    if (!RunSelf("--steps", output, unused) ||
        std::sscanf(output.c_str(), "%lf %lf %lf", &path, &time, &open) != 3) {
      std::printf("the start-up steps could not be timed\n");
      return 1;
    }
    steps[0].push_back(path);
    steps[1].push_back(time);
    steps[2].push_back(open);
  }
  std::printf("fresh processes, median of %d rounds; each time and its ratio to the empty DLL\n",
              rounds);
  std::printf("%-30s%19s%19s%19s\n", "", "empty DLL", "C++ runtime only", "readcard.dll");
  Report("first load, up to the answer", firstLoads);
  Report("second load, after a free", secondLoads);
  Report("whole process", processes);
  std::printf("readcard.dll's start-up calls in a fresh process, median:\n");
  std::printf("  host program's path %.1f us, local time %.1f us, open the day's log %.1f us\n",
              Median(steps[0]), Median(steps[1]), Median(steps[2]));
  return 0;
}
