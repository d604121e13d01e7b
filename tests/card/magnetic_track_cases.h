#pragma once
// The magnetic card reads that every build must answer alike, and a runner
// that puts them to CK_DKH however it is reached (linked in, or through
// readcard.dll) and checks the answer, the result buffer and the day's log.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace magnetic {

struct TrackCase {
  std::string name;
  std::string track;       // may hold a NUL; passed as a C string
  const char* message;     // the Error record's text; nullptr: success
  std::string cardNumber;  // on success, the text the host receives
};

std::vector<TrackCase> TrackCases();

// Calls CK_DKH(0, 0, track, cardNumber).
using MagneticCardRead = std::function<int32_t(const char*, char**)>;

// Runs every case through read, checking return value, slot, card::NumberBufferA
// (seen through the pointer a successful read hands out) and the records
// appended to the log file at logPath.
void RunTrackCases(const MagneticCardRead& read, const std::string& logPath);

// A null track and a null result slot are refused with -1 and one record.
void RunNullArgumentCases(const MagneticCardRead& read, const std::string& logPath);

}  // namespace magnetic
