// log_writer: a host program that makes readcard.dll write failure records,
// so that several processes can fill the same day's log at the same time.
//
//   log_writer START_EVENT COUNT track|driver
//
// Loads readcard.dll from its own directory, waits until the named event
// START_EVENT is set (so that all writers begin together), then makes COUNT
// failures, one Error record each:
//   track   CK_DKH with a track of the wrong length (a short line);
//   driver  QTZ_DKH with a driver that fails (a line as long as the driver's
//           text; the caller sets SIMCARD_RESULT and SIMCARD_FILL).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pe_image.h"

namespace {

using MagneticCardRead = int32_t(__stdcall*)(int32_t, int32_t, const char*, char**);
using CardNumberRead = int32_t(__stdcall*)(int32_t, int32_t, int32_t, int32_t, char**, char**);

template <typename Function>
Function Find(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: log_writer START_EVENT COUNT track|driver\n", stderr);
    return 2;
  }
  const int count = std::atoi(argv[2]);
  const bool driverFailures = std::strcmp(argv[3], "driver") == 0;
  HMODULE library = LoadLibraryA((host::ProgramDirectory() + "readcard.dll").c_str());
  if (library == nullptr) return 3;
  auto readMagneticCard = Find<MagneticCardRead>(library, "CK_DKH");
  auto readCardNumber = Find<CardNumberRead>(library, "QTZ_DKH");
  HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, argv[1]);
  if (readMagneticCard == nullptr || readCardNumber == nullptr || start == nullptr) {
    return 4;
  }
  WaitForSingleObject(start, 60000);
  CloseHandle(start);

  int failures = 0;
  for (int i = 0; i < count; ++i) {
    char* number = nullptr;
    char* copy = nullptr;
    const int32_t result = driverFailures ? readCardNumber(0, 0, 0, 0, &number, &copy)
                                          : readMagneticCard(0, 0, "too short", &number);
    if (result == -1) ++failures;
  }
  FreeLibrary(library);
  return failures == count ? 0 : 1;
}
