/* A host program as Visual C++ builds one: compiled by clang-cl for
 * i686-pc-windows-msvc (or x86_64-pc-windows-msvc against the 64-bit DLL),
 * linked by lld-link against readcard.lib and kernel32 alone (no C runtime:
 * its own entry point, output through WriteFile). It includes readcard.h,
 * so every 32-bit call refers to the decorated name that Visual C++ gives a
 * __stdcall function (__imp__QTZ_DKH@24), a 64-bit one to the plain name
 * (__imp_QTZ_DKH), and readcard.lib must bind each of them to the DLL's
 * plain export. The program
 * only starts when every import resolves; then it calls all ten functions
 * and checks their answers with the simulated card driver beside it.
 * Exit code 0 when every check held, 1 otherwise. */
#include "readcard.h"

/* The few kernel32 functions used, declared as the Windows SDK does. */
typedef void* HANDLE;
#define STD_OUTPUT_HANDLE ((unsigned long)-11)
__declspec(dllimport) HANDLE __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(HANDLE file, const void* data, unsigned long size,
                                              unsigned long* written, void* overlapped);
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned int code);

static unsigned long Length(const char* text) {
  unsigned long length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

static int Same(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

static int Contains(const char* text, const char* part) {
  for (; *text != '\0'; ++text) {
    const char* t = text;
    const char* p = part;
    while (*p != '\0' && *t == *p) ++t, ++p;
    if (*p == '\0') return 1;
  }
  return *part == '\0';
}

static int HasChar(const char* text, char c) {
  for (; *text != '\0'; ++text)
    if (*text == c) return 1;
  return 0;
}

/* Appends source to target (of capacity bytes), always NUL-terminated. */
static void Append(char* target, unsigned long capacity, const char* source) {
  unsigned long length = Length(target);
  while (*source != '\0' && length + 1 < capacity) target[length++] = *source++;
  target[length] = '\0';
}

static void Print(const char* text) {
  unsigned long written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, Length(text), &written, 0);
}

static int failures = 0;

static void Check(int condition, const char* what) {
  if (!condition) {
    Print("FAILED: ");
    Print(what);
    Print("\r\n");
    ++failures;
  }
}

#if defined(_M_IX86)
/* The stack pointer around one call: an import bound to a function that
 * removes more or fewer argument bytes than the header declares (a wrong
 * decoration, a __cdecl export) leaves it moved. */
#define CALL(result, call)                                           \
  do {                                                               \
    unsigned before_, after_;                                        \
    __asm { mov before_, esp }                                        \
    (result) = (call);                                               \
    __asm { mov after_, esp }                                         \
    Check(before_ == after_, #call " left the stack pointer moved"); \
  } while (0)
#else
/* x64: one calling convention, in which the caller removes the arguments. */
#define CALL(result, call) ((result) = (call))
#endif

/* Head 12345678, card number 0000123456, tail 87654321: the check code is
 * their bitwise OR, 96337919. */
static const char kTrack[] = "123456780000123456=009633791987654321";
static const char kShortTrack[] = "12345678000012345=009633791987654321";

static void CheckAllFunctions(void) {
  char untouched[] = "untouched";
  char* number = untouched;
  char* icNumber = untouched;
  char* icNumberCopy = untouched;
  char* cardInfo = untouched;
  int status = 7;
  int result = -2;
  char cardNumber[100];
  char marker[120];

  CALL(result, QTZ_DLL_BBH());
  Check(result == READCARD_VERSION, "QTZ_DLL_BBH answers the header's version");

  CALL(result, QTZ_ErrorString(1, 2, 3));
  Check(result == 0, "QTZ_ErrorString answers 0");
  CALL(result, QTZ_FindWindow2(1));
  Check(result == 0, "QTZ_FindWindow2 answers 0");
  CALL(result, QTZ_HSXK(1, 2, 3, 4, 5, 6));
  Check(result == 0, "QTZ_HSXK answers 0");
  CALL(result, QTZ_YKT_JK_SD());
  Check(result == 0, "QTZ_YKT_JK_SD answers 0");
  CALL(result, SBK_YKT_ICPURCHASE(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11));
  Check(result == 0, "SBK_YKT_ICPURCHASE answers 0");
  CALL(result, SBK_YKT_ICTRANSLOG(1, 2, 3));
  Check(result == 0, "SBK_YKT_ICTRANSLOG answers 0");

  CALL(result, CK_DKH(0, 0, kShortTrack, &number));
  Check(result == -1, "CK_DKH refuses a 36-character track");
  Check(number == untouched, "a refused track leaves the host's pointer alone");
  CALL(result, CK_DKH(0, 0, kTrack, &number));
  Check(result == 0, "CK_DKH accepts a track with the right check code");
  Check(number != untouched && Same(number, "0000123456"),
        "CK_DKH hands back the card number field");

  /* The IC card through the SSCardDriver.dll beside this program. */
  CALL(result, QTZ_DKH(0, 0, 0, 0, &icNumber, &icNumberCopy));
  Check(result == 0, "QTZ_DKH reads the card");
  Check(icNumber == number, "QTZ_DKH and CK_DKH share the first number buffer");
  Check(icNumberCopy != untouched && icNumberCopy != icNumber, "QTZ_DKH's copy is a second buffer");
  Check(Length(icNumber) > 0 && Same(icNumber, icNumberCopy),
        "both buffers hold the same card number");
  cardNumber[0] = '\0';
  Append(cardNumber, sizeof cardNumber, icNumber);

  CALL(result, SBK_YKT_ICGETINFO(0, 0, &cardInfo, &status));
  Check(result == 0, "SBK_YKT_ICGETINFO reads the card");
  Check(status == 0, "SBK_YKT_ICGETINFO sets the status to 0");
  Check(cardInfo != untouched && cardInfo != number && cardInfo != icNumberCopy,
        "the card information line has a buffer of its own");
  marker[0] = '\0';
  Append(marker, sizeof marker, "#2#");
  Append(marker, sizeof marker, cardNumber);
  Append(marker, sizeof marker, "#01#");
  Check(Contains(cardInfo, marker), "the line carries the card number between its markers");
  Check(!HasChar(cardInfo, '|'), "the line holds no field separator");

  /* A null pointer gets a clear -1, not a crash. */
  CALL(result, CK_DKH(0, 0, 0, &number));
  Check(result == -1, "CK_DKH refuses a null track");
  CALL(result, SBK_YKT_ICGETINFO(0, 0, &cardInfo, 0));
  Check(result == -1, "SBK_YKT_ICGETINFO refuses a null status pointer");
}

/* The entry point (/ENTRY): no C runtime starts before it. */
void __stdcall HostMain(void) {
  CheckAllFunctions();
  Print(failures == 0 ? "PASSED: all ten functions answered through readcard.lib\r\n"
                      : "FAILED: see above\r\n");
  ExitProcess(failures == 0 ? 0 : 1);
}
