#pragma once
#include <cstdint>

extern "C" {

// Calls function with count 32-bit arguments pushed right to left, as any
// __stdcall caller does (a Delphi or PowerBuilder host, say), and stores in
// *stackDelta how far the stack pointer moved across the call: 0 when the
// callee removed exactly its arguments. Returns the function's EAX.
int32_t CallMeasuringStack(const void* function, const uint32_t* args, int32_t count,
                           int32_t* stackDelta);
}
