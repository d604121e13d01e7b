#pragma once
// Reading the IC card through the card reader's driver, SSCardDriver.dll in
// the host program's directory, as both IC card exports do.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace driver {
class DynamicLibrary;
struct CallOutcome;
}  // namespace driver

namespace card {

// Loads the driver into `library` and has it read the card into RecordBuffer.
// True when the driver answered 0; otherwise the failure has been logged.
// RecordBuffer always ends NUL-terminated afterwards, whatever the driver
// wrote into it. With readcard.ini's isolation=process the driver host makes
// the driver call instead, and `library` stays unused.
bool ReadCardRecord(driver::DynamicLibrary& library);

// The records of a driver that could not be loaded, and of a driver call
// that failed (what: the fault, or the missing function), wherever the call
// was made.
void LogDriverNotLoaded();
void LogDriverCallFailure(const std::string& what);

// What ReadCardRecord makes of the driver's answer once RecordBuffer holds
// what the driver wrote: RecordBuffer is NUL-terminated; a fault or a
// non-zero result is logged and answers false.
bool AcceptDriverAnswer(const driver::CallOutcome& outcome);

// The text in RecordBuffer up to its first NUL, never past the buffer.
std::string RecordText();

// The record cut into its "|"-separated fields; nothing, and the record
// logged as unparsable, when it has fewer than `minimum` fields.
std::optional<std::vector<std::string>> RecordFields(std::size_t minimum);

}  // namespace card
