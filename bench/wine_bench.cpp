// wine_bench: timed loops through the real readcard.dll, as a host program
// calls it, each against the floor it could reach. Run under Wine (or on
// Windows) from a directory holding readcard.dll and SSCardDriver.dll:
//
//   wine_bench [ITERATIONS]
//
// Prints, per pair, the best of five rounds in microseconds per call and the
// ratio operation / floor. scripts/bench.sh runs it in a directory of its
// own, so that its failure records do not fill a test directory's log.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/hand_check.h"

namespace {

using MagneticCardRead = int32_t(__stdcall*)(int32_t, int32_t, const char*, char**);
using CardNumberRead = int32_t(__stdcall*)(int32_t, int32_t, int32_t, int32_t,
                                           char**, char**);
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

// Best of five rounds of `iterations` calls, in microseconds per call.
template <typename Body>
double MicrosecondsPerCall(int iterations, Body body) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    QueryPerformanceCounter(&start);
    for (int i = 0; i < iterations; ++i) body();
    QueryPerformanceCounter(&end);
    double perCall = (end.QuadPart - start.QuadPart) * 1e6 /
                     static_cast<double>(frequency.QuadPart) / iterations;
    if (perCall < best) best = perCall;
  }
  return best;
}

void Report(const char* operation, double time, const char* floor, double floorTime) {
  std::printf("%-22s %10.3f us   %-26s %10.3f us   ratio %8.1f\n", operation, time,
              floor, floorTime, time / floorTime);
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::string directory = OwnDirectory();
  HMODULE library = LoadLibraryA((directory + "readcard.dll").c_str());
  if (library == nullptr) {
    std::printf("cannot load readcard.dll from %s\n", directory.c_str());
    return 1;
  }
  MagneticCardRead magneticCardRead;
  CardNumberRead cardNumberRead;
  CardInfoRead cardInfoRead;
  if (!Find(library, "CK_DKH", magneticCardRead) ||
      !Find(library, "QTZ_DKH", cardNumberRead) ||
      !Find(library, "SBK_YKT_ICGETINFO", cardInfoRead)) {
    std::puts("readcard.dll lacks an export");
    return 1;
  }
  const std::string driverPath = directory + "SSCardDriver.dll";
  char* text = nullptr;
  char* copy = nullptr;
  int32_t status = 0;
  if (magneticCardRead(0, 0, bench::kGoodTrack, &text) != 0 ||
      cardNumberRead(0, 0, 0, 0, &text, &copy) != 0 ||
      cardInfoRead(0, 0, &text, &status) != 0) {
    std::puts("a card read fails: is SSCardDriver.dll beside readcard.dll?");
    return 1;
  }
  std::printf("%d calls a round, best of 5 rounds\n", iterations);

  // The track goes through a volatile pointer, or the optimiser would check
  // the constant track once for all.
  const char* volatile track = bench::kGoodTrack;
  char number[16];
  Report("CK_DKH", MicrosecondsPerCall(iterations * 10, [&] {
           magneticCardRead(0, 0, track, &text);
         }),
         "hand-written check", MicrosecondsPerCall(iterations * 10, [&] {
           bench::HandCheckTrack(track, number);
         }));

  // A track one byte short: CK_DKH refuses it at once with one record.
  const double record = MicrosecondsPerCall(iterations, [&] {
    magneticCardRead(0, 0, bench::kShortTrack, &text);
  });
  SYSTEMTIME now;
  GetLocalTime(&now);
  char line[128];
  std::snprintf(line, sizeof line,
                "[%d-%02d-%02d %02d:%02d:%02d][Error]\t磁卡号长度不正常\r\n", now.wYear,
                now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
  std::FILE* file = std::fopen((directory + "floor.log").c_str(), "ab");
  if (file == nullptr) return 1;
  const std::size_t length = std::strlen(line);
  const double bareWrite = MicrosecondsPerCall(iterations, [&] {
    std::fwrite(line, 1, length, file);
    std::fflush(file);
  });
  std::fclose(file);
  Report("failure record", record, "fwrite + fflush", bareWrite);

  char driverRecord[1024];
  const double driverCall = MicrosecondsPerCall(iterations, [&] {
    HMODULE driver = LoadLibraryA(driverPath.c_str());
    DriverRead read;
    Find(driver, "iReadCardBas", read);
    read(4, driverRecord);
    FreeLibrary(driver);
  });
  Report("QTZ_DKH", MicrosecondsPerCall(iterations, [&] {
           cardNumberRead(0, 0, 0, 0, &text, &copy);
         }),
         "load/resolve/call/free", driverCall);
  Report("SBK_YKT_ICGETINFO", MicrosecondsPerCall(iterations, [&] {
           cardInfoRead(0, 0, &text, &status);
         }),
         "load/resolve/call/free", driverCall);
  FreeLibrary(library);
  return 0;
}
