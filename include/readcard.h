/*
 * readcard.h: the functions of readcard.dll, for host programs in C and C++.
 *
 * readcard.dll is a 32-bit Windows DLL. Every function uses the standard
 * Windows calling convention (__stdcall: arguments pushed right to left,
 * removed by the function) with 32-bit argument slots, and is exported under
 * its plain name (QTZ_DKH, not _QTZ_DKH@24). The 64-bit readcard.dll (x64\
 * of the package) exports the same functions under the same names and
 * ordinals; x64 has one calling convention, so __stdcall means nothing
 * there, and this header serves both.
 *
 * Linking: with Visual C++, link the import library readcard.lib
 * (cl /I include host.c lib\readcard.lib); with MinGW-w64 GCC,
 * libreadcard.dll.a (gcc host.c -I include lib/libreadcard.dll.a); build a
 * 32-bit (x86) program, or a 64-bit one with x64\lib\ instead of lib\.
 * A host that loads the DLL
 * itself (LoadLibraryA / GetProcAddress) uses the READCARD_*_FN pointer types
 * at the end of this file.
 *
 * Return values: QTZ_DLL_BBH answers the version number (READCARD_VERSION).
 * The three working functions (QTZ_DKH, CK_DKH, SBK_YKT_ICGETINFO) answer 0
 * on success and -1 on failure; the reason of a failure is never returned,
 * only written to the DLL's log file (Log\readcard\qtz-YYYY-MM-DD.log below
 * the host program's directory). The other six functions are inactive
 * entry points that answer 0 and do nothing.
 *
 * Result texts: a working function hands back text by storing a pointer
 * into a char* variable of the host, whose address the host passes (a
 * pointer to a text pointer, char**). The pointer leads into one of three
 * buffers that belong to the DLL:
 *
 *   NumberBufferA (100 bytes): 5th argument of QTZ_DKH, 4th of CK_DKH
 *   NumberBufferB (100 bytes): 6th argument of QTZ_DKH
 *   RecordBuffer (1024 bytes): 3rd argument of SBK_YKT_ICGETINFO
 *
 * The text is NUL-terminated, in the system's ANSI code page (GBK on Chinese
 * Windows), at most 99 or 1023 bytes. It stays valid until the next call
 * that writes the same buffer, or until the DLL is unloaded: CK_DKH and
 * QTZ_DKH both overwrite NumberBufferA, and QTZ_DKH overwrites RecordBuffer
 * with the card driver's raw record when it reads a card. Copy a text you
 * want to keep. Never free or write these buffers. On failure the host's
 * variable is left as it was, so initialise it (to NULL) before the call.
 *
 * The functions are not reentrant: call them from one thread at a time.
 */
#ifndef READCARD_H
#define READCARD_H

/* The number that QTZ_DLL_BBH answers for the DLL this header describes. */
#define READCARD_VERSION 86

#if defined(_WIN32)
#define READCARD_CALL __stdcall
#else
#define READCARD_CALL
#endif

/* Functions are imported from the DLL; the DLL's own build defines
 * READCARD_IMPORT as empty before including this header. */
#ifndef READCARD_IMPORT
#if defined(_WIN32)
#define READCARD_IMPORT __declspec(dllimport)
#else
#define READCARD_IMPORT
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Ordinal 1. The DLL's version number: 86. */
READCARD_IMPORT int READCARD_CALL QTZ_DLL_BBH(void);

/* Ordinal 2. The card number of the IC social-security card in the reader,
 * read through SSCardDriver.dll (or the virtual card that Login.ini
 * configures). On success *cardNumber points to NumberBufferA and
 * *cardNumberCopy to NumberBufferB, both holding the same number. The first
 * four arguments are not read. 0 on success, -1 on failure. */
READCARD_IMPORT int READCARD_CALL QTZ_DKH(int unused1, int unused2, int unused3, int unused4,
                                          char** cardNumber, char** cardNumberCopy);

/* Ordinal 3. Inactive: answers 0. */
READCARD_IMPORT int READCARD_CALL QTZ_ErrorString(int unused1, int unused2, int unused3);

/* Ordinal 4. Inactive: answers 0. */
READCARD_IMPORT int READCARD_CALL QTZ_FindWindow2(int unused1);

/* Ordinal 5. The card number of one of the hospital's own magnetic cards.
 * track is the NUL-terminated 37-character track text; on success
 * *cardNumber points to NumberBufferA, holding the track's 10-character card
 * number field (characters 9 to 18). The first two arguments are not read.
 * 0 on success, -1 on failure (wrong length, check code mismatch). */
READCARD_IMPORT int READCARD_CALL CK_DKH(int unused1, int unused2, const char* track,
                                         char** cardNumber);

/* Ordinal 6. Inactive: answers 0. */
READCARD_IMPORT int READCARD_CALL QTZ_HSXK(int unused1, int unused2, int unused3, int unused4,
                                           int unused5, int unused6);

/* Ordinal 7. Inactive: answers 0. */
READCARD_IMPORT int READCARD_CALL QTZ_YKT_JK_SD(void);

/* Ordinal 8. The basic information of the IC social-security card in the
 * reader as one line, fields of the driver's record between '#' markers.
 * *status is set to 0 on every call that passes both pointers (a null
 * one is refused with -1 before anything is written). On success *cardInfo
 * points to RecordBuffer. The first two arguments are not read. 0 on
 * success, -1 on failure. */
READCARD_IMPORT int READCARD_CALL SBK_YKT_ICGETINFO(int unused1, int unused2, char** cardInfo,
                                                    int* status);

/* Ordinal 9. Inactive: answers 0. */
READCARD_IMPORT int READCARD_CALL SBK_YKT_ICPURCHASE(int unused1, int unused2, int unused3,
                                                     int unused4, int unused5, int unused6,
                                                     int unused7, int unused8, int unused9,
                                                     int unused10, int unused11);

/* Ordinal 10. Inactive: answers 0. */
READCARD_IMPORT int READCARD_CALL SBK_YKT_ICTRANSLOG(int unused1, int unused2, int unused3);

/* Pointer types for hosts that resolve the functions with GetProcAddress. */
typedef int(READCARD_CALL* READCARD_QTZ_DLL_BBH_FN)(void);
typedef int(READCARD_CALL* READCARD_QTZ_DKH_FN)(int, int, int, int, char**, char**);
typedef int(READCARD_CALL* READCARD_QTZ_ERRORSTRING_FN)(int, int, int);
typedef int(READCARD_CALL* READCARD_QTZ_FINDWINDOW2_FN)(int);
typedef int(READCARD_CALL* READCARD_CK_DKH_FN)(int, int, const char*, char**);
typedef int(READCARD_CALL* READCARD_QTZ_HSXK_FN)(int, int, int, int, int, int);
typedef int(READCARD_CALL* READCARD_QTZ_YKT_JK_SD_FN)(void);
typedef int(READCARD_CALL* READCARD_SBK_YKT_ICGETINFO_FN)(int, int, char**, int*);
typedef int(READCARD_CALL* READCARD_SBK_YKT_ICPURCHASE_FN)(int, int, int, int, int, int, int, int,
                                                           int, int, int);
typedef int(READCARD_CALL* READCARD_SBK_YKT_ICTRANSLOG_FN)(int, int, int);

#ifdef __cplusplus
}
#endif

#endif /* READCARD_H */
