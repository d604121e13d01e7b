#pragma once
// The library's side of the driver host: readcard-driverhost beside the
// library, started on the first read that asks for it, kept while the
// library is loaded, and given one read at a time. A driver host that hangs
// is ended after the read's time is up, one that died is replaced at the
// next read; nothing is ever started, waited for or ended while the library
// loads or unloads.
#include <string>

#include "driver/driver_host_protocol.h"

namespace driver {

#ifdef _WIN32
constexpr char kDriverHostFile[] = "readcard-driverhost.exe";
#else
constexpr char kDriverHostFile[] = "readcard-driverhost";
#endif

struct RemoteRead {
  enum Status {
    kAnswered,     // answer holds the driver host's answer
    kMissing,      // no driver host program at the path
    kCannotStart,  // the system would not start it (detail)
    kTimedOut,     // no answer in time: the driver host has been ended
    kEnded,        // it ended during the read (detail: how)
  };
  Status status = kAnswered;
  protocol::Answer answer;
  std::string detail;
};

// Has the driver host at program read the card with the driver at
// driverPath, starting from the 1024 bytes of record; waits at most
// timeoutSeconds for the answer. Threads are served one at a time, in the
// order they called.
RemoteRead ReadThroughDriverHost(const std::string& program, const std::string& driverPath,
                                 const char* record, int timeoutSeconds);

}  // namespace driver
