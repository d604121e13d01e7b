#include "driver/guard_thunk_i686.h"

#include <windows.h>

#include <cstddef>

#include "driver/driver_fault.h"

#if !defined(__i386__)
#error "the guarded driver call is written for 32-bit x86"
#endif

using driver::GuardFrame;

// The thunk below addresses these fields by offset.
static_assert(offsetof(GuardFrame, esp) == 0 && offsetof(GuardFrame, ebp) == 4 &&
                  offsetof(GuardFrame, fpuControl) == 8,
              "thunk offsets");

namespace {

// The thunk's entry on the thread's handler chain: the system's two fields,
// then the call's frame.
struct Registration {
  Registration* next;
  void* handler;
  GuardFrame* frame;
};

}  // namespace

extern "C" {
// Where the handler resumes the thread after a fault: inside the thunk, with
// the thunk's own frame pointer.
void readcard_guard_landing();
EXCEPTION_DISPOSITION __cdecl readcard_guard_handler(EXCEPTION_RECORD* record, void* establisher,
                                                     CONTEXT* context, void* dispatcher);
}

// The thunk. Its frame, below the saved EBP:
//   -4 EBX, -8 ESI, -12 EDI (the caller's registers, popped on the way out),
//   -16 frame, -20 handler, -24 next: the registration, linked in at FS:[0].
// The function's arguments are pushed last. After the call, whatever the
// function did to ESP, the way out rebuilds it from EBP; the handler chain is
// reset to what it was at entry, dropping any registration the function left.
asm(R"(
    .text
    .globl _readcard_call_guarded
_readcard_call_guarded:
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  8(%ebp), %eax
    fnstcw 8(%eax)
    pushl %eax
    pushl $_readcard_guard_handler
    pushl %fs:0
    movl  %esp, %fs:0
    movl  %esp, 0(%eax)
    movl  %ebp, 4(%eax)
    pushl 20(%ebp)
    pushl 16(%ebp)
    call  *12(%ebp)
1:  movl  -24(%ebp), %ecx
    movl  %ecx, %fs:0
    leal  -12(%ebp), %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret

    .globl _readcard_guard_landing
_readcard_guard_landing:
    fninit
    movl  -16(%ebp), %eax
    fldcw 8(%eax)
    movl  $-1, %eax
    jmp   1b
)");

// Called by the system for an exception raised below the thunk and not
// handled there. Takes the faults that driver::IsDriverFault names and lets
// every other exception, and every unwind, pass on.
extern "C" EXCEPTION_DISPOSITION __cdecl readcard_guard_handler(EXCEPTION_RECORD* record,
                                                                void* establisher, CONTEXT* context,
                                                                void*) {
  constexpr DWORD kPassOn = EXCEPTION_NONCONTINUABLE | EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND;
  if ((record->ExceptionFlags & kPassOn) != 0 || !driver::IsDriverFault(record->ExceptionCode)) {
    return ExceptionContinueSearch;
  }
  GuardFrame* frame = static_cast<Registration*>(establisher)->frame;
  frame->faulted = 1;
  frame->code = record->ExceptionCode;
  frame->address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record->ExceptionAddress));
  // Resume in the thunk as if the function had returned: its frame, its
  // stack, the direction flag clear as every caller expects. EBX, ESI and
  // EDI come back from the thunk's stack.
  context->Ebp = frame->ebp;
  context->Esp = frame->esp;
  context->Eip = static_cast<DWORD>(reinterpret_cast<uintptr_t>(&readcard_guard_landing));
  context->EFlags &= ~DWORD{0x400};
  return ExceptionContinueExecution;
}
