#pragma once
// The service's events in the system's log, for IT to collect from every
// desk: on Windows the Application log under the source "cardservice"
// (Windows Event Forwarding gathers them), elsewhere the journal. The text
// is the service log's own line (UTF-8); the ids are documented in
// docs/deployment.md and stay as they are.
#include <ctime>
#include <map>
#include <string>

#include "service/messages.h"

namespace service {

enum class EventId : unsigned {
  Started = 100,       // information: listening, with port and origins
  Stopped = 101,       // information
  NotStarted = 102,    // error: unusable settings, port in use
  DeskWritable = 103,  // error: others than the administrators may change the service's files
  Refused = 200,       // warning: a request from an origin or host not allowed
  WorkerEnded = 300,   // error: the card worker died or was ended after a time-out
};

// Writes one event; a log that cannot be written loses it, nothing else.
void WriteEvent(EventId id, const std::string& text);

// Windows: registers the source "cardservice" with the Application log
// (--install), and removes it (--uninstall). kCannotRegisterSource, with
// the system's reason, when the registration could not be written.
// Elsewhere nothing to do.
Failure RegisterEventLogSource();
void RemoveEventLogSource();

// At most one refusal event per sender (origin or host) and hour: the
// refusals in between are counted and the next event says how many.
class RefusalEvents {
 public:
  // The event text for a refusal from sender at now, or "" when one was
  // written for it within the hour.
  std::string Admit(const std::string& sender, const std::string& text, std::time_t now);

 private:
  struct Sender {
    std::time_t lastEvent = 0;
    unsigned unreported = 0;
  };
  std::map<std::string, Sender> m_senders;
};

}  // namespace service
