// log_writer: a host program that makes readcard.dll write failure records,
// so that several processes can fill the same day's log at the same time.
//
//   log_writer START_EVENT COUNT
//
// Loads readcard.dll from its own directory, waits until the named event
// START_EVENT is set (so that all writers begin together), then calls CK_DKH
// COUNT times with a track of the wrong length: one Error record each.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using MagneticCardRead = int32_t(__stdcall*)(int32_t, int32_t, const char*,
                                             char**);

std::string OwnDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.rfind('\\') + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: log_writer START_EVENT COUNT\n", stderr);
    return 2;
  }
  const int count = std::atoi(argv[2]);
  HMODULE library = LoadLibraryA((OwnDirectory() + "readcard.dll").c_str());
  if (library == nullptr) return 3;
  auto readMagneticCard = reinterpret_cast<MagneticCardRead>(
      reinterpret_cast<void*>(GetProcAddress(library, "CK_DKH")));
  HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, argv[1]);
  if (readMagneticCard == nullptr || start == nullptr) return 4;
  WaitForSingleObject(start, 60000);
  CloseHandle(start);

  int failures = 0;
  for (int i = 0; i < count; ++i) {
    char* cardNumber = nullptr;
    if (readMagneticCard(0, 0, "too short", &cardNumber) == -1) ++failures;
  }
  FreeLibrary(library);
  return failures == count ? 0 : 1;
}
