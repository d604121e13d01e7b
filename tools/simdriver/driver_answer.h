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

// A fault that the driver commits instead of answering (SIMCARD_FAULT).
enum class Fault {
  kNone,
  kAccessViolation,        // "access": writes to an address no process maps
  kIllegalInstruction,     // "illegal": executes an undefined instruction
  kDivideByZero,           // "divide": an integer division by zero
  kPrivilegedInstruction,  // "privileged": an instruction only the system may execute
  kOverrun,                // "overrun": writes past the end of the caller's buffer
  // Faults that no guard in the caller's process survives:
  kHang,               // "hang": never returns
  kStackOverflow,      // "stack": recurses until the stack is used up
  kExit,               // "exit": ends the whole process (exit code 7)
  kUncaughtException,  // "throw": a C++ exception that nobody catches
};

// Bytes that the overrun writes beyond the caller's kRecordSize: past the
// slack that readcard gives a driver behind the record (15 KiB, or up to a
// 64 KiB page), so that it always meets the inaccessible page.
constexpr std::size_t kOverrunBytes = 64 * 1024;

// The most that SIMCARD_OVERRUN may ask for.
constexpr std::size_t kExtraBytesLimit = 1024 * 1024;

struct DriverAnswer {
  int32_t result = 0;
  char record[kRecordSize] = {};  // the record's bytes, NULs included
  std::size_t recordLength = 0;   // at most kRecordSize - 1
  bool writeRecord = true;        // false: the buffer is left as it was
  int fillBytes = -1;             // 0 to 1024: that many pattern bytes, no NUL
  // Pattern bytes written after the caller's kRecordSize bytes once the
  // record is written (SIMCARD_OVERRUN): a driver with a larger buffer in mind.
  std::size_t extraBytes = 0;
  Fault fault = Fault::kNone;
  int delayMs = 0;  // waited before answering (SIMCARD_DELAY_MS)
};

// Fills answer as SSCardDriver.txt in directory, if it exists, and the
// SIMCARD_* settings choose: those of SSCardDriver.env in directory, else
// the environment variables. directory ends in its separator.
void ChooseAnswer(const char* directory, DriverAnswer& answer);

// Takes result and record from the text of SSCardDriver.txt: the first line
// is the result code, the rest (without one final line end) the record.
void ApplySettingsFile(const char* text, std::size_t length, DriverAnswer& answer);

}  // namespace simdriver
