#pragma once
// Platform seam: calls a driver function of two 32-bit arguments so that a
// misbehaving driver cannot take the calling thread down with it.
//
// On Windows (i686) the call goes through a small assembly thunk
// (driver/guard_thunk_i686.cpp) that
//  - saves the stack pointer and restores it afterwards, so a function built
//    __cdecl (the caller removes the arguments) works exactly like the
//    __stdcall one the driver should export;
//  - puts an exception handler frame of its own on the thread's handler chain
//    for the length of the call. An access violation, illegal instruction,
//    integer divide by zero or privileged instruction raised below it, in the
//    driver or in anything it calls, and not handled there, ends the call:
//    the handler resumes the thread at the thunk's exit with the thunk's own
//    frame and registers, and the call reports the fault. Nothing is
//    installed process-wide, and nothing stays behind when the call returns.
// On x64 Windows and natively the function is called plainly
// (driver/guarded_call_win64.cpp says what the 64-bit build keeps).
#include <cstdint>
#include <optional>

#include "driver/driver_fault.h"
#include "driver/library_loader.h"

namespace driver {

struct CallOutcome {
  int32_t result = 0;                // the function's result; -1 after a fault
  std::optional<DriverFault> fault;  // set when the call ended in a fault
};

// Calls function(mode, record): a function of a 32-bit integer and a pointer
// returning a 32-bit integer, __stdcall or __cdecl.
CallOutcome CallGuarded(FunctionAddress function, int32_t mode, char* record);

}  // namespace driver
