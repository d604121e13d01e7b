// Any driver record through both IC card exports, QTZ_DKH and
// SBK_YKT_ICGETINFO, with the simulated card driver (libSSCardDriver.so beside
// this program) handing the record over: the real binding, reading, parsing
// and assembly code on every input.
//
// Input: the first byte picks the driver's result (0 below 0xF0, otherwise
// -1 to -16); the rest, up to a NUL, is the record (the driver passes on at
// most 1023 bytes of it).
//
// Properties, against fields cut independently at every '|' (none after a
// final '|'):
// - both answers are 0 or -1; the status integer is 0 after every call;
// - a driver failure fails both; otherwise QTZ_DKH succeeds exactly with 3
//   fields or more, SBK_YKT_ICGETINFO with 8 or more;
// - QTZ_DKH hands out field 2 (at most 99 bytes) in both number buffers;
// - SBK_YKT_ICGETINFO hands out card::RecordBuffer holding fields 0, 7, 2, 1, 4, 3
//   between the fixed markers, cut at 1023 bytes; when it is not cut its
//   length is the six fields' lengths plus 16, and when no field holds a '#'
//   the line cuts at '#' into exactly 13 pieces: the six fields, "2", "01"
//   and five empty ones, in their places, field 2 equal to QTZ_DKH's number;
// - a failed call leaves the host's pointers untouched and card::RecordBuffer
//   holding the driver's record.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "card/exports.h"
#include "card/result_buffers.h"
#include "fuzz_check.h"

namespace {

constexpr std::size_t kRecordLimit = card::kRecordBufferSize - 1;
constexpr std::size_t kNumberLimit = card::kNumberBufferSize - 1;

// Pieces between the separators; none after a separator that ends the text.
std::vector<std::string> CutAt(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : text) {
    if (c == separator) {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

void CheckCardNumber(int32_t driverResult, const std::vector<std::string>& fields) {
  char hostA[] = "host A", hostB[] = "host B";
  char* number = hostA;
  char* copy = hostB;
  const int32_t result = QTZ_DKH(0, 0, 0, 0, &number, &copy);
  FUZZ_CHECK(result == 0 || result == -1);
  const bool expected = driverResult == 0 && fields.size() >= 3;
  FUZZ_CHECK((result == 0) == expected);
  if (result == 0) {
    FUZZ_CHECK(number == card::NumberBufferA && copy == card::NumberBufferB);
    const std::string answer = fields[2].substr(0, kNumberLimit);
    FUZZ_CHECK(answer == card::NumberBufferA && answer == card::NumberBufferB);
  } else {
    FUZZ_CHECK(number == hostA && copy == hostB);
  }
}

void CheckCardInfo(int32_t driverResult, const std::string& record,
                   const std::vector<std::string>& fields) {
  char host[] = "host";
  char* info = host;
  int32_t status = 12345;
  const int32_t result = SBK_YKT_ICGETINFO(0, 0, &info, &status);
  FUZZ_CHECK(status == 0);
  FUZZ_CHECK(result == 0 || result == -1);
  const bool expected = driverResult == 0 && fields.size() >= 8;
  FUZZ_CHECK((result == 0) == expected);
  if (result != 0) {
    FUZZ_CHECK(info == host);
    FUZZ_CHECK(record == card::RecordBuffer);
    return;
  }
  FUZZ_CHECK(info == card::RecordBuffer);
  const std::string line = card::RecordBuffer;
  const std::string full = fields[0] + "#" + fields[7] + "#2#" + fields[2] + "#01#" + fields[1] +
                           "#" + fields[4] + "######" + fields[3] + "#";
  FUZZ_CHECK(line == full.substr(0, kRecordLimit));
  if (full.size() > kRecordLimit) return;

  const std::size_t used[] = {0, 7, 2, 1, 4, 3};
  std::size_t fieldBytes = 0;
  bool anyMarker = false;
  for (std::size_t i : used) {
    fieldBytes += fields[i].size();
    anyMarker = anyMarker || fields[i].find('#') != std::string::npos;
  }
  FUZZ_CHECK(line.size() == fieldBytes + 16);
  if (anyMarker) return;
  const std::vector<std::string> pieces = CutAt(line, '#');
  FUZZ_CHECK(pieces.size() == 13);
  const std::vector<std::string> layout = {fields[0], fields[7], "2",      fields[2], "01",
                                           fields[1], fields[4], "",       "",        "",
                                           "",        "",        fields[3]};
  FUZZ_CHECK(pieces == layout);
  if (fields[2].size() <= kNumberLimit) FUZZ_CHECK(pieces[3] == card::NumberBufferA);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Only the record and the result come from the input.
  unsetenv("SIMCARD_NOWRITE");
  unsetenv("SIMCARD_FILL");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int32_t driverResult = data[0] < 0xF0 ? 0 : 0xEF - data[0];
  std::string record(reinterpret_cast<const char*>(data) + 1, size - 1);
  record = record.substr(0, record.find('\0'));
  setenv("SIMCARD_RESULT", std::to_string(driverResult).c_str(), 1);
  setenv("SIMCARD_RECORD", record.c_str(), 1);
  record = record.substr(0, kRecordLimit);  // what the driver writes

  const std::vector<std::string> fields = CutAt(record, '|');
  CheckCardNumber(driverResult, fields);
  CheckCardInfo(driverResult, record, fields);
  return 0;
}
