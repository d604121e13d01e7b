#pragma once
// The ten functions that readcard.dll exports, under these undecorated names
// and the ordinals of card/readcard.def. Every argument slot is 32 bits; the
// callee removes the arguments (__stdcall). Arguments that an export never
// reads are declared as plain 32-bit integers.
#include <cstdint>

#ifdef _WIN32
#define READCARD_API __stdcall
#else
#define READCARD_API
#endif

extern "C" {

// Version number of the library: 86.
int32_t READCARD_API QTZ_DLL_BBH();
// IC card number into *cardNumber and *cardNumberCopy; 0 or -1.
int32_t READCARD_API QTZ_DKH(int32_t, int32_t, int32_t, int32_t,
                             char** cardNumber, char** cardNumberCopy);
// Magnetic card number of a 37-byte track into *cardNumber; 0 or -1.
int32_t READCARD_API CK_DKH(int32_t, int32_t, const char* track,
                            char** cardNumber);
// IC card information line into *cardInfo; *status is set to 0; 0 or -1.
int32_t READCARD_API SBK_YKT_ICGETINFO(int32_t, int32_t, char** cardInfo,
                                       int32_t* status);

// Inactive entry points: they answer 0 and touch nothing.
int32_t READCARD_API QTZ_ErrorString(int32_t, int32_t, int32_t);
int32_t READCARD_API QTZ_FindWindow2(int32_t);
int32_t READCARD_API QTZ_HSXK(int32_t, int32_t, int32_t, int32_t, int32_t,
                              int32_t);
int32_t READCARD_API QTZ_YKT_JK_SD();
int32_t READCARD_API SBK_YKT_ICPURCHASE(int32_t, int32_t, int32_t, int32_t,
                                        int32_t, int32_t, int32_t, int32_t,
                                        int32_t, int32_t, int32_t);
int32_t READCARD_API SBK_YKT_ICTRANSLOG(int32_t, int32_t, int32_t);

}  // extern "C"
