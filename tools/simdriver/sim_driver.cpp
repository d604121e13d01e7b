// A stand-in for the card reader's driver SSCardDriver.dll: iReadCardBas
// answers with the result and record that driver_answer.h describes,
// without any reader attached.
#include <cstdio>
#include <cstring>

#include "driver/card_driver.h"
#include "tools/simdriver/driver_answer.h"
#include "tools/simdriver/faults.h"
#include "tools/simdriver/own_directory.h"
#include "tools/simdriver/pause.h"

#ifdef SIMDRIVER_CDECL
// SSCardDriverCdecl.dll: the vendor's slip of building the driver __cdecl,
// so that the caller, not the driver, must remove the two arguments.
#define SIMDRIVER_CALL __cdecl
extern "C" int32_t SIMDRIVER_CALL iReadCardBas(int32_t mode, char* record);
#else
// Declared through the library's own function type, so that the two cannot
// drift apart.
#define SIMDRIVER_CALL DRIVER_CALL
extern "C" {
driver::ReadCardFunction iReadCardBas;
}
#endif

namespace {

// count bytes of "0123456789" repeated, without a NUL after them, written
// one by one in the driver's own code.
void FillPattern(char* buffer, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) buffer[i] = static_cast<char>('0' + i % 10);
}

}  // namespace

int32_t SIMDRIVER_CALL iReadCardBas(int32_t mode, char* record) {
  if (record == nullptr) return -1;
  if (mode != driver::kReadBasicInfo) {
    std::snprintf(record, simdriver::kRecordSize, "unsupported mode %d", static_cast<int>(mode));
    return -1;
  }
  char directory[1024];
  simdriver::OwnDirectory(directory, sizeof directory);
  simdriver::DriverAnswer answer;
  simdriver::ChooseAnswer(directory, answer);
  simdriver::Pause(answer.delayMs);  // a slow reader, or a hung one
  if (answer.fault == simdriver::Fault::kOverrun) {
    FillPattern(record, simdriver::kRecordSize + simdriver::kOverrunBytes);
    return answer.result;
  }
  simdriver::CommitFault(answer.fault);
  if (!answer.writeRecord) return answer.result;
  if (answer.fillBytes >= 0) {
    FillPattern(record, static_cast<std::size_t>(answer.fillBytes));
  } else {
    std::memcpy(record, answer.record, answer.recordLength);
    record[answer.recordLength] = '\0';
  }
  FillPattern(record + simdriver::kRecordSize, answer.extraBytes);
  return answer.result;
}

// Says that this is the simulator: cardhost --check and the card service's
// status page warn when a desk has it in the real driver's place.
extern "C" int32_t SimulatedCardDriver() { return 1; }
