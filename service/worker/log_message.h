#pragma once
// What a failed card call wrote to the day's log, as the desk staff should
// read it: the records' messages without their time stamp and level.
#include <string>

namespace service::worker {

// The messages of the records in text (bytes of the day's log), one a line.
// A record's message may itself span lines; a line that does not open a
// record belongs to the one before it. "" when text holds no record.
std::string LoggedMessages(const std::string& text);

// The message of the last record in text alone (with its continuation
// lines): what one write of this process put at text's end, when lines of
// other writers may come before it.
std::string LastLoggedMessage(const std::string& text);

}  // namespace service::worker
