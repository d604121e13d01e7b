#pragma once
// What the simulated card driver answers, as the person running a test or a
// demo chose it (see the README, "Simulated card driver").
//
// The driver uses nothing of the C++ library, only the C runtime: a DLL that
// links the C++ library statically takes a thread-local storage index from
// the process at every load and never gives it back, and the card reads load
// and free the driver on every call.
#include <cstddef>
#include <cstdint>

namespace simdriver {

constexpr std::size_t kRecordSize = 1024;  // the caller's buffer

struct DriverAnswer {
  int32_t result = 0;
  char record[kRecordSize] = {};  // the record's bytes, NULs included
  std::size_t recordLength = 0;   // at most kRecordSize - 1
  bool writeRecord = true;        // false: the buffer is left as it was
  int fillBytes = -1;             // 0 to 1024: that many pattern bytes, no NUL
};

// Fills answer as SSCardDriver.txt in directory, if it exists, and the
// SIMCARD_* environment variables choose. directory ends in its separator.
void ChooseAnswer(const char* directory, DriverAnswer& answer);

// Takes result and record from the text of SSCardDriver.txt: the first line
// is the result code, the rest (without one final line end) the record.
void ApplySettingsFile(const char* text, std::size_t length, DriverAnswer& answer);

}  // namespace simdriver
