#include <cstdio>
#include <cstring>

#include "logger/logger.h"

namespace logger {
namespace {

// Room for six numbers of any int value and the brackets around them.
constexpr std::size_t kStampSize = 96;

void TwoDigits(char* out, int value) {
  out[0] = static_cast<char>('0' + value / 10);
  out[1] = static_cast<char>('0' + value % 10);
}

bool TwoDigitField(int value) { return value >= 0 && value <= 99; }

// "[YYYY-MM-DD hh:mm:ss][" into stamp; its length. The common case is written
// digit by digit; a year outside 1000 to 9999 or a field outside 0 to 99 goes
// through the formatted print, which writes the same bytes more slowly.
std::size_t FormatStamp(const std::tm& time, char (&stamp)[kStampSize]) {
  const long long year = static_cast<long long>(time.tm_year) + 1900;
  const int month = time.tm_mon + 1;
  if (year >= 1000 && year <= 9999 && TwoDigitField(month) && TwoDigitField(time.tm_mday) &&
      TwoDigitField(time.tm_hour) && TwoDigitField(time.tm_min) && TwoDigitField(time.tm_sec)) {
    std::memcpy(stamp, "[0000-00-00 00:00:00][", 22);
    TwoDigits(stamp + 1, static_cast<int>(year / 100));
    TwoDigits(stamp + 3, static_cast<int>(year % 100));
    TwoDigits(stamp + 6, month);
    TwoDigits(stamp + 9, time.tm_mday);
    TwoDigits(stamp + 12, time.tm_hour);
    TwoDigits(stamp + 15, time.tm_min);
    TwoDigits(stamp + 18, time.tm_sec);
    return 22;
  }
  const int length = std::snprintf(stamp, sizeof stamp, "[%lld-%02d-%02d %02d:%02d:%02d][",
                                    year, month, time.tm_mday, time.tm_hour, time.tm_min,
                                    time.tm_sec);
  return length > 0 ? static_cast<std::size_t>(length) : 0;
}

// "[stamp][level]\t" onto line.
void AppendHead(std::string& line, const std::tm& time, const char* levelName) {
  char stamp[kStampSize];
  line.append(stamp, FormatStamp(time, stamp));
  if (levelName != nullptr) line += levelName;
  line += "]\t";
}

}  // namespace

std::string FormatRecord(const std::tm& time, const char* levelName,
                         const char* message) {
  std::string line;
  AppendHead(line, time, levelName);
  line += message != nullptr ? message : "";
  return line;
}

void AppendRecordLine(std::string& line, const std::tm& time, const char* levelName,
                      const char* message, const char* lineEnd) {
  AppendHead(line, time, levelName);
  const char* rest = message != nullptr ? message : "";
  const std::size_t restLength = std::strlen(rest);
  const char* end = rest + restLength;
  while (const void* found = std::memchr(rest, '\n', static_cast<std::size_t>(end - rest))) {
    const char* lineFeed = static_cast<const char*>(found);
    line.append(rest, static_cast<std::size_t>(lineFeed - rest));
    line += lineEnd;
    rest = lineFeed + 1;
  }
  line.append(rest, static_cast<std::size_t>(end - rest));
  line += lineEnd;
}

std::string WithLineEnds(const std::string& text, const char* lineEnd) {
  std::string result;
  result.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n') {
      result += lineEnd;
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace logger
