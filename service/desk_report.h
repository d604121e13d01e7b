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

struct DeskFacts {
  int version = -1;  // -1: not known (yet)
  std::string directory;
  DeskFile library, driver, loginIni;
  bool virtualCard = false;
  std::vector<std::string> origins;
  std::string logFile;
  std::vector<std::string> logLines;
};

// Texts in the system code page (paths, log lines) made UTF-8.
using ToUtf8 = std::function<std::string(const std::string&)>;

// The facts of the desk directory (with its trailing separator) as they
// stand now; version and origins are the caller's.
DeskFacts GatherDeskFacts(const std::string& directory, const std::string& libraryFile,
                          const std::string& driverFile);

// The facts as the /v1/desk JSON text; toUtf8 converts the paths and lines.
std::string DeskJson(const DeskFacts& facts, const ToUtf8& toUtf8);

}  // namespace service
