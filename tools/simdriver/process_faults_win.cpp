#include <windows.h>

#include "tools/simdriver/process_faults.h"

namespace simdriver {

void EndProcess(int code) { ExitProcess(static_cast<UINT>(code)); }

void ThrowUncaught() {
  constexpr DWORD kVisualCppException = 0xE06D7363;  // "msc"
  RaiseException(kVisualCppException, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  ExitProcess(3);  // not reached: the exception is not continuable
}

}  // namespace simdriver
