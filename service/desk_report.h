#pragma once
// What the status page shows about the desk: the files that a read needs,
// whether the virtual card is on, the allowed origins and today's last lines
// of the card library's log (the /v1/desk answer).
#include <functional>
#include <string>
#include <vector>

namespace service {

struct DeskFile {
  std::string file;
  bool present = false;
};

// What the driver's file says of itself, read without loading it (Windows;
// natively nothing is known of it beyond its presence).
enum class DriverKind {
  kUnknown,      // not read (native), or not there
  kReads,        // a 32-bit DLL that exports iReadCardBas
  kSimulated,    // the simulated driver of tools/simdriver
  kNoRead,       // no iReadCardBas (or only a decorated name)
  kNot32BitDll,  // 64-bit, or no DLL at all
};

struct DeskFacts {
  int version = -1;  // -1: not known (yet)
  std::string directory;
  DeskFile library, driver, loginIni;
  DriverKind driverKind = DriverKind::kUnknown;
  bool virtualCard = false;
  std::vector<std::string> origins;
  std::string logFile;
  bool logWritable = true;  // a file can be written in the log's directory
  std::vector<std::string> logLines;
  // Who besides the administrators may change the service's folder and
  // files, one line each (found at the start, UTF-8), and whether cards
  // are read all the same (writabledesk = serve).
  std::vector<std::string> writableBy;
  bool servesWritableDesk = false;
};

enum class DeskRating { kWarning, kError };

// One thing on the desk that is risky or wrong: which item, how bad, and
// what to do (Chinese, UTF-8, from the service's table).
struct DeskCheck {
  std::string item;  // "library", "driver", "loginIni", "log", "permissions"
  DeskRating rating;
  std::string message;
};

// The desk's warnings and errors; empty for a desk that is fine.
std::vector<DeskCheck> RateDesk(const DeskFacts& facts);

// Texts in the system code page (paths, log lines) made UTF-8.
using ToUtf8 = std::function<std::string(const std::string&)>;

// The facts of the desk directory (with its trailing separator) as they
// stand now; version and origins are the caller's.
DeskFacts GatherDeskFacts(const std::string& directory, const std::string& libraryFile,
                          const std::string& driverFile);

// The facts as the /v1/desk JSON text, with RateDesk's checks; toUtf8
// converts the library's log lines, pathToUtf8 the paths. Without detail,
// only the version and the health flags (which files are there, the checks,
// the virtual card): no path, no origin list, no log line, not who may
// change which file.
std::string DeskJson(const DeskFacts& facts, const ToUtf8& toUtf8, const ToUtf8& pathToUtf8,
                     bool detail = true);

}  // namespace service
