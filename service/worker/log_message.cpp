#include "service/worker/log_message.h"

#include <vector>

#include "logger/day_log.h"

namespace service::worker {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the record opening "[YYYY-MM-DD hh:mm:ss][Level]\t" at the
// start of line, or 0 when line does not open a record.
std::size_t RecordOpening(const std::string& line) {
  std::size_t at = 0;
  const auto literal = [&](char c) {
    if (at < line.size() && line[at] == c) {
      ++at;
      return true;
    }
    return false;
  };
  const auto digits = [&](std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      if (at >= line.size() || !IsDigit(line[at])) return false;
      ++at;
    }
    return true;
  };
  if (!literal('[')) return 0;
  const std::size_t yearStart = at;
  while (at < line.size() && IsDigit(line[at])) ++at;
  if (at == yearStart) return 0;
  if (!(literal('-') && digits(2) && literal('-') && digits(2) && literal(' ') && digits(2) &&
        literal(':') && digits(2) && literal(':') && digits(2) && literal(']') && literal('['))) {
    return 0;
  }
  const std::size_t levelStart = at;
  while (at < line.size() && line[at] != ']' && line[at] != '\t') ++at;
  if (at == levelStart || !literal(']') || !literal('\t')) return 0;
  return at;
}

}  // namespace

std::string LoggedMessages(const std::string& text) {
  std::string messages;
  bool inRecord = false;
  for (const std::string& line : logger::SplitLines(text)) {
    const std::size_t opening = RecordOpening(line);
    if (opening > 0) {
      if (inRecord) messages += '\n';
      messages += line.substr(opening);
      inRecord = true;
    } else if (inRecord) {
      messages += '\n';
      messages += line;
    }
  }
  return messages;
}

std::string LastLoggedMessage(const std::string& text) {
  const std::vector<std::string> lines = logger::SplitLines(text);
  std::size_t last = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (RecordOpening(lines[i]) > 0) last = i;
  }
  std::string record;
  for (std::size_t i = last; i < lines.size(); ++i) record += lines[i] + "\n";
  return LoggedMessages(record);
}

}  // namespace service::worker
