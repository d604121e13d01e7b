#pragma once
// The ten functions that readcard.dll exports, under these undecorated names
// and the ordinals of card/readcard.def. Their declarations are the ones that
// hosts compile against (include/readcard.h): the definitions in exports.cpp
// must match them exactly, or the build fails with conflicting declarations.
// Every argument slot is 32 bits; the callee removes the arguments
// (__stdcall).
#include <cstdint>

// The library defines these functions; it does not import them. Natively
// they are the shared object's only visible symbols: everything else is
// built with hidden visibility, and card/readcard.map exports exactly these.
#ifdef _WIN32
#define READCARD_IMPORT
#else
#define READCARD_IMPORT __attribute__((visibility("default")))
#endif
#include "include/readcard.h"

// Calling convention of the definitions (empty in the native build).
#define READCARD_API READCARD_CALL
