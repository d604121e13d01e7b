#include <chrono>
#include <limits>

#include "logger/local_time.h"

namespace logger {

Seconds SecondsNow() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch).count();
}

std::tm LocalTime(Seconds seconds) {
  // A system whose time_t is narrower than the count cannot convert it.
  if constexpr (sizeof(std::time_t) < sizeof(Seconds)) {
    if (seconds > std::numeric_limits<std::time_t>::max() ||
        seconds < std::numeric_limits<std::time_t>::min()) {
      return std::tm{};
    }
  }
  const std::time_t moment = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (localtime_r(&moment, &local) == nullptr) return std::tm{};
  return local;
}

}  // namespace logger
