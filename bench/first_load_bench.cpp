// first_load_bench: what a host pays when it loads readcard.dll for the first
// time in its process, against loading a DLL that does nothing
// (empty_library.dll). Run under Wine (or on Windows) from a directory holding
// both DLLs:
//
//   first_load_bench [ROUNDS]
//
// Each round starts two fresh processes, one per DLL, in turns. Each child
// times LoadLibraryA up to the first answer of QTZ_DLL_BBH, then frees the
// DLL and times the same again (the DLL's own start-up without the system's
// first-time work), and prints both; the parent also times the whole child
// process. Prints the medians and the ratios readcard.dll / empty DLL.
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
  auto version = reinterpret_cast<NoArgs>(
      reinterpret_cast<void*>(GetProcAddress(module, "QTZ_DLL_BBH")));
  const bool answered = version != nullptr && version() == 86;
  QueryPerformanceCounter(&end);
  FreeLibrary(module);
  return answered ? Microseconds(start, end) : -1;
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

bool RunChild(const char* library, Run& run) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::string commandLine = "\"" + OwnPath() + "\" --child " + library;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  const bool started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0,
                                      nullptr, OwnDirectory().c_str(), &startup, &process);
  CloseHandle(writeEnd);
  std::string output;
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
  run.process = Microseconds(start, end);
  return exitCode == 0 &&
         std::sscanf(output.c_str(), "%lf %lf", &run.firstLoad, &run.secondLoad) == 2;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle]
                                 : (values[middle - 1] + values[middle]) / 2;
}

void Report(const char* what, const std::vector<double> (&times)[2]) {
  const double empty = Median(times[0]), readcard = Median(times[1]);
  std::printf("%-30s %10.0f us %10.0f us %7.2f\n", what, empty, readcard,
              readcard / empty);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--child") == 0) return Child(argv[2]);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

  const char* libraries[] = {"empty_library.dll", "readcard.dll"};
  std::vector<double> firstLoads[2], secondLoads[2], processes[2];
  for (int round = 0; round < rounds; ++round) {
    for (int which = 0; which < 2; ++which) {
      Run run;
      if (!RunChild(libraries[which], run)) {
        std::printf("%s: the child could not load it or got no answer\n", libraries[which]);
        return 1;
      }
      firstLoads[which].push_back(run.firstLoad);
      secondLoads[which].push_back(run.secondLoad);
      processes[which].push_back(run.process);
    }
  }
  std::printf("fresh processes, median of %d rounds\n", rounds);
  std::printf("%-30s %13s %13s %7s\n", "", "empty DLL", "readcard.dll", "ratio");
  Report("first load, up to the answer", firstLoads);
  Report("second load, after a free", secondLoads);
  Report("whole process", processes);
  return 0;
}
