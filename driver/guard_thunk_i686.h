#pragma once
// The i686 thunk behind the guarded driver call on Windows
// (driver/guarded_call.h): calls function(mode, record) with the stack
// pointer saved and restored around it, and with an exception handler
// registration of its own on the thread's handler chain (FS:[0]) for the
// length of the call. The handler takes the faults that
// driver::IsDriverFault names, raised below the thunk and not handled
// there, and resumes the thread at the thunk's exit.
#include <cstdint>

#include "driver/library_loader.h"

namespace driver {

// What the thunk and its handler share for one call; the thunk writes the
// first three fields, the handler the rest.
struct GuardFrame {
  uint32_t esp;         // the thunk's stack pointer: its handler registration
  uint32_t ebp;         // the thunk's frame pointer
  uint32_t fpuControl;  // the x87 control word at entry
  uint32_t faulted;     // 1 once the handler has taken a fault
  uint32_t code;        // the fault's exception code
  uint32_t address;     // the faulting instruction
};

}  // namespace driver

// __cdecl: the caller removes the four arguments. Returns function(mode,
// record), __stdcall or __cdecl alike, or -1 with frame->faulted set when the
// handler ended the call. frame starts zeroed.
extern "C" int32_t readcard_call_guarded(driver::GuardFrame* frame,
                                         driver::FunctionAddress function, int32_t mode,
                                         char* record);
