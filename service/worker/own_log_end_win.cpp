#include "service/worker/own_log_end.h"

namespace service::worker {

// The library's handle is opened for appending only, whose position Windows
// does not promise to move with each write.
std::optional<std::size_t> OwnAppendEnd(const std::string&) { return std::nullopt; }

}  // namespace service::worker
