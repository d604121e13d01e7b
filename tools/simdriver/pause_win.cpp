#include <windows.h>

#include "tools/simdriver/pause.h"

namespace simdriver {

void Pause(int milliseconds) {
  if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace simdriver
