#include <cstdio>
#include <cstring>

#include "logger/logger.h"

namespace logger {
namespace {

// Room for six numbers of any int value and the brackets around them.
constexpr std::size_t kStampSize = 96;

// "[stamp][level]\t" onto line. One formatted print serves every time,
// odd ones (a year past 9999, a field a failed conversion left out of range)
// included; records are written only when something failed, and then the
// file write costs far more than the print.
void AppendHead(std::string& line, const std::tm& time, const char* levelName) {
  char stamp[kStampSize];
  const int length = std::snprintf(stamp, sizeof stamp, "[%lld-%02d-%02d %02d:%02d:%02d][",
                                   static_cast<long long>(time.tm_year) + 1900, time.tm_mon + 1,
                                   time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  if (length > 0) line.append(stamp, static_cast<std::size_t>(length));
  if (levelName != nullptr) line += levelName;
  line += "]\t";
}

}  // namespace

void AppendRecordLine(std::string& line, const std::tm& time, const char* levelName,
                      const char* message, const char* lineEnd) {
  AppendHead(line, time, levelName);
  const char* rest = message != nullptr ? message : "";
  const char* const end = rest + std::strlen(rest);
  while (const void* found = std::memchr(rest, '\n', static_cast<std::size_t>(end - rest))) {
    const char* lineFeed = static_cast<const char*>(found);
    line.append(rest, static_cast<std::size_t>(lineFeed - rest));
    line += lineEnd;
    rest = lineFeed + 1;
  }
  line.append(rest, static_cast<std::size_t>(end - rest));
  line += lineEnd;
}

}  // namespace logger
