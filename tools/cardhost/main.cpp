// cardhost: a console host program that loads readcard.dll from its own
// directory, as the hospital information system does, calls one export and
// prints the return value and the result text.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using NoArgs = int32_t(__stdcall*)();
using MagneticCardRead = int32_t(__stdcall*)(int32_t, int32_t, const char*,
                                             char**);

std::string OwnDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* last = std::strrchr(path, '\\');
  if (last == nullptr) return std::string();
  return std::string(path, last + 1);
}

void PrintUsage() {
  std::puts(
      "usage: cardhost EXPORT [ARGUMENTS]\n"
      "Loads readcard.dll from this program's directory and calls EXPORT.\n"
      "  QTZ_DLL_BBH      the version number\n"
      "  CK_DKH TRACK     the card number of a 37-character magnetic track");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
    PrintUsage();
    return argc < 2 ? 2 : 0;
  }
  std::string dllPath = OwnDirectory() + "readcard.dll";
  HMODULE library = LoadLibraryA(dllPath.c_str());
  if (library == nullptr) {
    std::printf("cannot load %s (error %lu)\n", dllPath.c_str(), GetLastError());
    return 1;
  }
  int exitCode = 0;
  std::string name = argv[1];
  FARPROC function = GetProcAddress(library, name.c_str());
  if (function == nullptr) {
    std::printf("readcard.dll has no export %s\n", name.c_str());
    exitCode = 2;
  } else if (name == "QTZ_DLL_BBH") {
    std::printf("%s returned %d\n", name.c_str(),
                reinterpret_cast<NoArgs>(function)());
  } else if (name == "CK_DKH" && argc >= 3) {
    char* cardNumber = nullptr;
    int32_t result = reinterpret_cast<MagneticCardRead>(
        reinterpret_cast<void*>(function))(0, 0, argv[2], &cardNumber);
    std::printf("%s returned %d\n", name.c_str(), result);
    if (cardNumber != nullptr) std::printf("card number: %s\n", cardNumber);
  } else if (name == "CK_DKH") {
    PrintUsage();
    exitCode = 2;
  } else {
    std::printf("cardhost does not know how to call %s\n", name.c_str());
    exitCode = 2;
  }
  FreeLibrary(library);
  return exitCode;
}
