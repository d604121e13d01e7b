// Outside Windows the service's standard error goes to the journal under
// systemd; the events have no log of their own here yet.
#include "service/event_log.h"

namespace service {

void WriteEvent(EventId, const std::string&) {}
Failure RegisterEventLogSource() { return Failure{}; }
void RemoveEventLogSource() {}

}  // namespace service
