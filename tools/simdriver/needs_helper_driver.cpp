// SSCardDriverNeedsHelper.dll: a driver that cannot load without
// SSCardDriverHelper.dll beside it (or on the search path).
#include <cstdint>

#include "driver/dynamic_library.h"

extern "C" __declspec(dllimport) int32_t HelperAnswer();
extern "C" __declspec(dllexport) int32_t DRIVER_CALL iReadCardBas(int32_t, char* record) {
  record[0] = '\0';
  return HelperAnswer() - 1;
}
