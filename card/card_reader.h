#pragma once
// Reading the IC card through the card reader's driver, SSCardDriver.dll in
// the host program's directory, as both IC card exports do.
#include <string>

class DynamicLibrary;

namespace card {

// Loads the driver into `library` and has it read the card into RecordBuffer.
// True when the driver answered 0; otherwise the failure has been logged.
// RecordBuffer always ends NUL-terminated afterwards, whatever the driver
// wrote into it.
bool ReadCardRecord(DynamicLibrary& library);

// The text in RecordBuffer up to its first NUL, never past the buffer.
std::string RecordText();

// The text of a failure caught while parsing the record; "Unknown exception"
// for an exception that carries none.
const char* ExceptionText(const char* what);

}  // namespace card
