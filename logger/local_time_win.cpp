#include "logger/local_time.h"

namespace logger {

std::tm LocalTime(std::time_t seconds) {
  std::tm local{};
  if (localtime_s(&local, &seconds) != 0) return std::tm{};
  return local;
}

}  // namespace logger
