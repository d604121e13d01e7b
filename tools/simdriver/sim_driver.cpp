// A stand-in for the card reader's driver SSCardDriver.dll: iReadCardBas
// answers with the result and record that driver_answer.h describes,
// without any reader attached.
#include <algorithm>
#include <cstring>
#include <string>

#include "driver/card_driver.h"
#include "tools/simdriver/driver_answer.h"
#include "tools/simdriver/own_directory.h"

extern "C" {
// Declared through the library's own function type, so that the two cannot
// drift apart.
driver::ReadCardFunction iReadCardBas;
}

namespace {

constexpr std::size_t kRecordSize = 1024;  // the caller's buffer

void WriteRecord(char* buffer, const std::string& record) {
  std::size_t length = std::min(record.size(), kRecordSize - 1);
  std::memcpy(buffer, record.data(), length);
  buffer[length] = '\0';
}

// count bytes of "0123456789" repeated, without a NUL after them.
void FillPattern(char* buffer, int count) {
  for (int i = 0; i < count; ++i) buffer[i] = static_cast<char>('0' + i % 10);
}

}  // namespace

int32_t DRIVER_CALL iReadCardBas(int32_t mode, char* record) {
  if (record == nullptr) return -1;
  if (mode != driver::kReadBasicInfo) {
    WriteRecord(record, "unsupported mode " + std::to_string(mode));
    return -1;
  }
  try {
    simdriver::DriverAnswer answer = simdriver::ChooseAnswer(simdriver::OwnDirectory());
    if (!answer.writeRecord) return answer.result;
    if (answer.fillBytes >= 0) {
      FillPattern(record, answer.fillBytes);
    } else {
      WriteRecord(record, answer.record);
    }
    return answer.result;
  } catch (...) {  // nothing may escape into the caller
    return -1;
  }
}
