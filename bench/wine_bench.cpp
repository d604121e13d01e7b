// wine_bench: timed loops through the real readcard.dll, as a host program
// calls it, each against the floor it could reach. Run under Wine (or on
// Windows) from a directory holding readcard.dll and SSCardDriver.dll:
//
//   wine_bench [ITERATIONS] [isolation]
//
// Prints, per pair, the best of five rounds in microseconds per call and the
// ratio operation / floor; then a read through the driver host against the
// same read in-process (readcard.ini switched between rounds), the median of
// the rounds, and the first read's start-up of the driver host. scripts/bench.sh runs it in a
// directory of its own, so that its failure records do not fill a test directory's log.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/hand_check.h"

namespace {

using MagneticCardRead = int32_t(__stdcall*)(int32_t, int32_t, const char*, char**);
using CardNumberRead = int32_t(__stdcall*)(int32_t, int32_t, int32_t, int32_t, char**, char**);
using CardInfoRead = int32_t(__stdcall*)(int32_t, int32_t, char**, int32_t*);
using DriverRead = int32_t(__stdcall*)(int32_t, char*);

std::string OwnDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.rfind('\\') + 1);
}

template <typename Function>
FARPROC Find(HMODULE module, const char* name, Function& function) {
  FARPROC address = GetProcAddress(module, name);
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
  return address;
}

constexpr int kRounds = 11;

// One round of `iterations` calls, in microseconds per call.
template <typename Body>
double RoundMicroseconds(int iterations, Body& body) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < iterations; ++i) body();
  QueryPerformanceCounter(&end);
  return (end.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart) /
         iterations;
}

// An operation and its floor, their rounds taken in turn, so that a machine
// busy with other work slows both alike; the best round of each.
struct PairTimes {
  double operation = 1e30;
  double floor = 1e30;
};

template <typename Operation, typename Floor>
PairTimes MeasurePair(int iterations, Operation operation, Floor floor) {
  PairTimes best;
  for (int round = 0; round < kRounds; ++round) {
    const double operationTime = RoundMicroseconds(iterations, operation);
    const double floorTime = RoundMicroseconds(iterations, floor);
    if (operationTime < best.operation) best.operation = operationTime;
    if (floorTime < best.floor) best.floor = floorTime;
  }
  return best;
}

void Report(const char* operation, double time, const char* floor, double floorTime) {
  std::printf("%-22s %10.3f us   %-26s %10.3f us   ratio %8.1f\n", operation, time, floor,
              floorTime, time / floorTime);
}

void WriteText(const std::string& path, const char* text) {
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fputs(text, file);
    std::fclose(file);
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return (now.QuadPart - start.QuadPart) * 1e3 / static_cast<double>(frequency.QuadPart);
}

// QTZ_DKH with readcard.ini's isolation=process (the driver host already
// running) against isolation=none, their rounds in turn; the medians. Then
// the first read of a freshly loaded library, which starts the driver host,
// against the second.
void MeasureIsolation(const std::string& directory, int iterations) {
  const std::string ini = directory + "readcard.ini";
  const char kProcess[] = "[driver]\r\nisolation=process\r\n";
  const char kNone[] = "[driver]\r\nisolation=none\r\n";
  std::vector<double> isolated, inProcess, firstRead, secondRead;
  for (int round = 0; round < kRounds; ++round) {
    HMODULE library = LoadLibraryA((directory + "readcard.dll").c_str());
    CardNumberRead read;
    if (library == nullptr || !Find(library, "QTZ_DKH", read)) return;
    char* text = nullptr;
    char* copy = nullptr;
    WriteText(ini, kProcess);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    const int32_t first = read(0, 0, 0, 0, &text, &copy);
    firstRead.push_back(MillisecondsSince(start));
    QueryPerformanceCounter(&start);
    const int32_t second = read(0, 0, 0, 0, &text, &copy);
    secondRead.push_back(MillisecondsSince(start));
    if (first != 0 || second != 0) {
      std::puts("a read through readcard-driverhost.exe fails: is it beside readcard.dll?");
      FreeLibrary(library);
      return;
    }
    auto call = [&] { read(0, 0, 0, 0, &text, &copy); };
    isolated.push_back(RoundMicroseconds(iterations, call));
    WriteText(ini, kNone);
    inProcess.push_back(RoundMicroseconds(iterations, call));
    FreeLibrary(library);
  }
  std::remove(ini.c_str());
  const double isolatedMedian = Median(isolated);
  const double inProcessMedian = Median(inProcess);
  const double isolatedBest = *std::min_element(isolated.begin(), isolated.end());
  const double inProcessBest = *std::min_element(inProcess.begin(), inProcess.end());
  std::printf(
      "QTZ_DKH, isolation=process %8.1f us   isolation=none %8.1f us   "
      "difference %8.1f us (median of %d rounds)\n",
      isolatedMedian, inProcessMedian, isolatedMedian - inProcessMedian, kRounds);
  std::printf(
      "QTZ_DKH, isolation=process %8.1f us   isolation=none %8.1f us   "
      "difference %8.1f us (best of %d rounds)\n",
      isolatedBest, inProcessBest, isolatedBest - inProcessBest, kRounds);
  std::printf(
      "first read, starting readcard-driverhost.exe %8.1f ms   second read %8.2f ms "
      "(median of %d fresh loads)\n",
      Median(firstRead), Median(secondRead), kRounds);
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::string directory = OwnDirectory();
  // wine_bench N isolation: only the driver host's figures, N reads a round.
  if (argc > 2 && std::string(argv[2]) == "isolation") {
    MeasureIsolation(directory, iterations);
    return 0;
  }
  HMODULE library = LoadLibraryA((directory + "readcard.dll").c_str());
  if (library == nullptr) {
    std::printf("cannot load readcard.dll from %s\n", directory.c_str());
    return 1;
  }
  MagneticCardRead magneticCardRead;
  CardNumberRead cardNumberRead;
  CardInfoRead cardInfoRead;
  if (!Find(library, "CK_DKH", magneticCardRead) || !Find(library, "QTZ_DKH", cardNumberRead) ||
      !Find(library, "SBK_YKT_ICGETINFO", cardInfoRead)) {
    std::puts("readcard.dll lacks an export");
    return 1;
  }
  const std::string driverPath = directory + "SSCardDriver.dll";
  char* text = nullptr;
  char* copy = nullptr;
  int32_t status = 0;
  if (magneticCardRead(0, 0, bench::kGoodTrack, &text) != 0 ||
      cardNumberRead(0, 0, 0, 0, &text, &copy) != 0 || cardInfoRead(0, 0, &text, &status) != 0) {
    std::puts("a card read fails: is SSCardDriver.dll beside readcard.dll?");
    return 1;
  }
  std::printf("%d calls a round, best of %d rounds\n", iterations, kRounds);

  // The track goes through a volatile pointer, or the optimiser would check
  // the constant track once for all.
  const char* volatile track = bench::kGoodTrack;
  char number[16];
  const PairTimes check = MeasurePair(
      iterations * 10, [&] { magneticCardRead(0, 0, track, &text); },
      [&] { bench::HandCheckTrack(track, number); });
  Report("CK_DKH", check.operation, "hand-written check", check.floor);

  // A track one byte short: CK_DKH refuses it at once with one record. Its
  // floors write the same line: bare, through stdio; and with the
  // cross-process writer lock that keeps two host processes' lines whole (as
  // logger/append_file_win.cpp takes it) on a handle opened as the logger
  // opens its file.
  SYSTEMTIME now;
  GetLocalTime(&now);
  char line[128];
  std::snprintf(line, sizeof line, "[%d-%02d-%02d %02d:%02d:%02d][Error]\t磁卡号长度不正常\r\n",
                now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
  const std::size_t length = std::strlen(line);
  std::FILE* file = std::fopen((directory + "floor.log").c_str(), "ab");
  HANDLE appendFile = CreateFileA(
      (directory + "floor-append.log").c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == nullptr || appendFile == INVALID_HANDLE_VALUE) return 1;
  OVERLAPPED lockRange = {};
  lockRange.OffsetHigh = 0x40000000;
  DWORD written = 0;
  auto lock = [&] { LockFileEx(appendFile, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockRange); };
  auto unlock = [&] { UnlockFileEx(appendFile, 0, 1, 0, &lockRange); };
  auto append = [&] { WriteFile(appendFile, line, static_cast<DWORD>(length), &written, nullptr); };
  auto failureRecord = [&] { magneticCardRead(0, 0, bench::kShortTrack, &text); };
  auto bareWrite = [&] {
    std::fwrite(line, 1, length, file);
    std::fflush(file);
  };
  const PairTimes record = MeasurePair(iterations, failureRecord, bareWrite);
  const PairTimes locked = MeasurePair(iterations, failureRecord, [&] {
    lock();
    append();
    unlock();
  });
  const PairTimes lockOnly = MeasurePair(
      iterations,
      [&] {
        lock();
        unlock();
      },
      append);
  std::fclose(file);
  CloseHandle(appendFile);
  Report("failure record", record.operation, "fwrite + fflush", record.floor);
  Report("failure record", locked.operation, "lock + append + unlock", locked.floor);
  Report("  the lock alone", lockOnly.operation, "the append alone", lockOnly.floor);

  // A driver read costs a thousand times more: fewer calls a round.
  char driverRecord[1024];
  auto driverCall = [&] {
    HMODULE driver = LoadLibraryA(driverPath.c_str());
    DriverRead read;
    Find(driver, "iReadCardBas", read);
    read(4, driverRecord);
    FreeLibrary(driver);
  };
  const int driverIterations = iterations / 10 > 0 ? iterations / 10 : 1;
  const PairTimes numberRead = MeasurePair(
      driverIterations, [&] { cardNumberRead(0, 0, 0, 0, &text, &copy); }, driverCall);
  Report("QTZ_DKH", numberRead.operation, "load/resolve/call/free", numberRead.floor);
  const PairTimes infoRead = MeasurePair(
      driverIterations, [&] { cardInfoRead(0, 0, &text, &status); }, driverCall);
  Report("SBK_YKT_ICGETINFO", infoRead.operation, "load/resolve/call/free", infoRead.floor);
  FreeLibrary(library);
  MeasureIsolation(directory, driverIterations);
  return 0;
}
