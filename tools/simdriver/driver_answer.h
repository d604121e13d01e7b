#pragma once
// What the simulated card driver answers, as the person running a test or a
// demo chose it (see the README, "Simulated card driver").
#include <cstdint>
#include <string>

namespace simdriver {

struct DriverAnswer {
  int32_t result = 0;
  std::string record;       // written with its NUL, at most 1023 bytes of it
  bool writeRecord = true;  // false: the buffer is left as it was
  int fillBytes = -1;       // 0 to 1024: that many pattern bytes, no NUL
};

// The answer chosen by SSCardDriver.txt in directory, if it exists, and by
// the SIMCARD_* environment variables.
DriverAnswer ChooseAnswer(const std::string& directory);

// Takes result and record from the text of SSCardDriver.txt: the first line
// is the result code, the rest (without one final line end) the record.
void ApplySettingsFile(const std::string& text, DriverAnswer& answer);

}  // namespace simdriver
