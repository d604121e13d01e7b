// A driver library that lacks iReadCardBas (an older or foreign driver put in
// SSCardDriver.dll's place): it exports only a version query.
#include <cstdint>

#include "driver/dynamic_library.h"

extern "C" int32_t DRIVER_CALL iDriverVersion() { return 1; }
