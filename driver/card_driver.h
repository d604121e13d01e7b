#pragma once
// The card reader's driver library and its one function that the card
// operations call.
#include <cstdint>

#include "driver/dynamic_library.h"
#include "driver/guarded_call.h"

namespace driver {

// The driver's file, found in the host program's directory.
#ifdef _WIN32
constexpr char kCardDriverFile[] = "SSCardDriver.dll";
#else
// The reader vendors' Linux drivers, and the simulated one of tools/simdriver.
constexpr char kCardDriverFile[] = "libSSCardDriver.so";
#endif

constexpr char kReadCardFunction[] = "iReadCardBas";
// Exported by the simulated driver only (tools/simdriver): a desk checker
// warns when it stands in the real driver's place.
constexpr char kSimulatedDriverMarker[] = "SimulatedCardDriver";

// iReadCardBas(mode, record): reads the card in the reader and writes its
// basic information into record, 1024 bytes (the size is not passed), as
// NUL-terminated GBK text with fields separated by "|". Returns 0 on
// success; any other value is a failure, and record may then hold the
// driver's error text, or nothing new.
using ReadCardFunction = int32_t DRIVER_CALL(int32_t mode, char* record);

// The mode that asks for the card's basic information record.
constexpr int32_t kReadBasicInfo = 4;

// Calls iReadCardBas(4, record) in the loaded driver through the guarded
// call (driver/guarded_call.h): a driver built __cdecl works, and a fault
// inside it ends the call with the fault reported. Throws as
// DynamicLibrary::Resolve does when the driver lacks the function.
inline CallOutcome ReadCardBasic(DynamicLibrary& library, char* record) {
  return CallGuarded(library.Resolve(kReadCardFunction), kReadBasicInfo, record);
}

}  // namespace driver
