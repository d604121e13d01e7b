#pragma once
// The library's own settings, readcard.ini beside Login.ini in the host
// program's directory, read afresh at every card read:
//
//   [driver]
//   isolation = process    ; or none: where the card reader's driver runs
//   timeout = 30           ; seconds a read through the driver host may take
//
// A missing file, section or key means the default. A value that cannot be
// used is reported (the caller logs it) and the default taken instead.
#include <string>
#include <vector>

namespace config {

enum class Isolation { kNone, kProcess };

// The 64-bit library cannot load the vendors' 32-bit drivers in its own
// process, so it reads through the driver host unless told otherwise.
#ifdef _WIN64
constexpr Isolation kDefaultIsolation = Isolation::kProcess;
#else
constexpr Isolation kDefaultIsolation = Isolation::kNone;
#endif
constexpr int kDefaultTimeoutSeconds = 30;
constexpr int kMinTimeoutSeconds = 1;
constexpr int kMaxTimeoutSeconds = 600;

constexpr char kReadcardIniFile[] = "readcard.ini";

struct DriverSettings {
  Isolation isolation = kDefaultIsolation;
  int timeoutSeconds = kDefaultTimeoutSeconds;
  // One entry for each value that could not be used.
  struct Problem {
    std::string key;
    std::string value;
    std::string usedInstead;  // the default, as readcard.ini would spell it
  };
  std::vector<Problem> problems;
};

// "process" or "none".
const char* IsolationName(Isolation isolation);

// The [driver] section of the readcard.ini at path.
DriverSettings ReadDriverSettings(const std::string& path);

}  // namespace config
