#include "service/service_log.h"

#include <cstdio>

#include "logger/day_log.h"
#include "logger/local_time.h"
#include "logger/log_file_name.h"
#include "service/messages.h"
#include "service/service_manager.h"
#include "service/system_text.h"
#include "host/executable_path.h"

namespace service {
namespace {

#ifdef _WIN32
constexpr char kLineEnd[] = "\r\n";  // read in Notepad
#else
constexpr char kLineEnd[] = "\n";
#endif

// The length of the UTF-8 sequence at text[at], or 0 when it is not one
// (a stray continuation byte, an overlong form, a surrogate, past U+10FFFF,
// cut short).
std::size_t Utf8Length(const std::string& text, std::size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[at + i]);
    if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

// The code point of the valid sequence of length at text[at].
unsigned CodePoint(const std::string& text, std::size_t at, std::size_t length) {
  static const unsigned kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  unsigned point = static_cast<unsigned char>(text[at]) & kLeadMask[length];
  for (std::size_t i = 1; i < length; ++i) {
    point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
  }
  return point;
}

// Characters that some log viewers take for a line end: NEL (and the other
// C1 controls), LINE SEPARATOR, PARAGRAPH SEPARATOR.
bool BreaksLines(unsigned point) {
  return (point >= 0x80 && point <= 0x9F) || point == 0x2028 || point == 0x2029;
}

// The text as a log line may hold it: control bytes as spaces, characters
// that viewers break lines at as \uXXXX, bytes that are not UTF-8 as \xNN.
std::string ShownText(const std::string& text) {
  std::string shown;
  char escape[16];
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8Length(text, at);
    if (length == 0) {
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[at]));
      shown += escape;
      ++at;
      continue;
    }
    const unsigned point = CodePoint(text, at, length);
    if (point < 0x20 || point == 0x7F) {
      shown += ' ';
    } else if (BreaksLines(point)) {
      std::snprintf(escape, sizeof escape, "\\u%04X", point);
      shown += escape;
    } else {
      shown.append(text, at, length);
    }
    at += length;
  }
  return shown;
}

}  // namespace

std::string ServiceLogLine(const std::tm& time, const std::string& text) {
  char stamp[64] = {};
  std::snprintf(stamp, sizeof stamp, "%s %02d:%02d:%02d ", logger::FormatDate(time).c_str(),
                time.tm_hour, time.tm_min, time.tm_sec);
  return stamp + ShownText(text);
}

std::string JournalLine(LogLevel level, const std::string& text) {
  return "<" + std::to_string(static_cast<int>(level)) + ">" + ShownText(text);
}

std::string CutForLog(const std::string& value, std::size_t limit) {
  if (value.size() <= limit) return value;
  std::size_t end = limit;
  // Never inside a UTF-8 sequence: back to the start of the one cut.
  while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
  return Say(Words::kValueCut, {value.substr(0, end), std::to_string(value.size())});
}

std::string ServiceLogFileName(const std::tm& time) {
  return logger::DailyLogFileName(logger::kServiceLog, time);
}

std::string ServiceLogDirectory(const std::string& programDirectory) {
  return logger::DailyLogDirectory(programDirectory, logger::kServiceLog, host::kPathSeparator);
}

ServiceLog::ServiceLog(std::string programDirectory, bool echo, std::size_t dayLimit)
    : m_directory(std::move(programDirectory)),
      m_echo(echo),
      m_journal(echo && StandardErrorIsJournal()),
      m_dayLimit(dayLimit),
      m_file(m_directory, logger::kServiceLog) {}

ServiceLog::~ServiceLog() {
  if (m_heldBack > 0) Append(HeldBackLine());
}

std::string ServiceLog::TodayPath() const {
  return ServiceLogDirectory(m_directory) + ServiceLogFileName(logger::LocalTimeNow());
}

std::string ServiceLog::HeldBackLine() const {
  return ServiceLogLine(logger::LocalTimeNow(),
                        Say(Words::kLogHeldBack, {std::to_string(m_heldBack)}));
}

void ServiceLog::StartDay() {
  const std::string heldBack = m_heldBack > 0 ? HeldBackLine() : std::string();
  m_written = logger::FileSize(m_file.path());
  m_capped = false;
  m_heldBack = 0;
  if (!heldBack.empty()) Append(heldBack);  // the day before's count, first thing
}

void ServiceLog::Append(const std::string& line) {
  if (!m_file.Append(line + kLineEnd)) return;
  m_written += line.size() + sizeof kLineEnd - 1;
}

void ServiceLog::Write(const std::string& text, LogLevel level, bool echo) {
  const std::tm now = logger::LocalTimeNow();
  const std::string before = m_file.path();
  m_file.OpenFor(now);  // the next day's file after midnight
  if (m_file.path() != before) StartDay();
  const std::string line = ServiceLogLine(now, text);
  if (m_capped || m_written + line.size() + sizeof kLineEnd - 1 > m_dayLimit) {
    if (!m_capped) {
      m_capped = true;
      Append(ServiceLogLine(now, Say(Words::kLogCapReached, {std::to_string(m_dayLimit)})));
    }
    ++m_heldBack;
    return;
  }
  if (m_journal) {
    std::fprintf(stderr, "%s\n", JournalLine(level, text).c_str());
    std::fflush(stderr);
  } else if (m_echo && echo) {
    std::fprintf(stderr, "cardservice: %s\n", ConsoleText(line).c_str());
    std::fflush(stderr);
  }
  Append(line);
}

}  // namespace service
