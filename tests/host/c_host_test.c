/* A host program written in C, as a hospital's developers write one: it
 * includes readcard.h, links the import library libreadcard.dll.a (natively
 * -lreadcard; no LoadLibrary, no GetProcAddress) and calls all ten
 * functions. The program only starts when every import resolves to an
 * export of the library. The card driver in the host directory (natively
 * READCARD_HOME) must read a card (the simulated driver does).
 * Exit code 0 when every check held. */
#include <stdio.h>
#include <string.h>

#include "readcard.h"

/* Each function must match its pointer type; with -Werror a declaration
 * that drifted apart from its type stops the build. */
static const READCARD_QTZ_DLL_BBH_FN kVersion = QTZ_DLL_BBH;
static const READCARD_QTZ_DKH_FN kIcCardNumber = QTZ_DKH;
static const READCARD_QTZ_ERRORSTRING_FN kErrorString = QTZ_ErrorString;
static const READCARD_QTZ_FINDWINDOW2_FN kFindWindow2 = QTZ_FindWindow2;
static const READCARD_CK_DKH_FN kMagneticCardNumber = CK_DKH;
static const READCARD_QTZ_HSXK_FN kHsxk = QTZ_HSXK;
static const READCARD_QTZ_YKT_JK_SD_FN kYktJkSd = QTZ_YKT_JK_SD;
static const READCARD_SBK_YKT_ICGETINFO_FN kCardInfo = SBK_YKT_ICGETINFO;
static const READCARD_SBK_YKT_ICPURCHASE_FN kPurchase = SBK_YKT_ICPURCHASE;
static const READCARD_SBK_YKT_ICTRANSLOG_FN kTransLog = SBK_YKT_ICTRANSLOG;

static int failures = 0;

static void Check(int condition, const char* what) {
  if (!condition) {
    printf("FAILED: %s\n", what);
    ++failures;
  }
}

#if defined(__i386__)
/* The stack pointer around one call: a function that removes more or fewer
 * argument bytes than its declaration promises leaves it moved. */
#define STACK_POINTER(into) __asm__ volatile("movl %%esp, %0" : "=r"(into))
#define CALL(result, call)                                           \
  do {                                                               \
    unsigned before_, after_;                                        \
    STACK_POINTER(before_);                                          \
    (result) = (call);                                               \
    STACK_POINTER(after_);                                           \
    Check(before_ == after_, #call " left the stack pointer moved"); \
  } while (0)
#else
/* One calling convention, in which the caller removes the arguments. */
#define CALL(result, call) ((result) = (call))
#endif

/* Head 12345678, card number 0000123456, tail 87654321: the check code is
 * their bitwise OR, 96337919. */
static const char kTrack[] = "123456780000123456=009633791987654321";

int main(void) {
  char untouched[] = "untouched";
  char* number = untouched;
  char* icNumber = untouched;
  char* icNumberCopy = untouched;
  char* cardInfo = untouched;
  int status = 7;
  int result = 0;
  char cardNumber[100] = "";
  char marker[120];

  CALL(result, QTZ_DLL_BBH());
  Check(result == READCARD_VERSION, "QTZ_DLL_BBH answers the header's version");
  Check(kVersion() == 86, "QTZ_DLL_BBH answers 86");

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

  CALL(result, CK_DKH(0, 0, "12345678000012345=009633791987654321", &number));
  Check(result == -1, "CK_DKH refuses a 36-character track");
  Check(number == untouched, "a refused track leaves the host's pointer alone");
  CALL(result, CK_DKH(0, 0, kTrack, &number));
  Check(result == 0, "CK_DKH accepts a track with the right check code");
  Check(number != untouched && strcmp(number, "0000123456") == 0,
        "CK_DKH hands back the card number field");

  /* QTZ_DKH and SBK_YKT_ICGETINFO read the IC card through the
   * card driver in the host directory (the simulated one in tests). */
  CALL(result, QTZ_DKH(0, 0, 0, 0, &icNumber, &icNumberCopy));
  Check(result == 0, "QTZ_DKH reads the card");
  Check(icNumber == number, "QTZ_DKH and CK_DKH share the first number buffer");
  Check(icNumberCopy != untouched && icNumberCopy != icNumber, "QTZ_DKH's copy is a second buffer");
  Check(strlen(icNumber) > 0 && strcmp(icNumber, icNumberCopy) == 0,
        "both buffers hold the same card number");
  strncpy(cardNumber, icNumber, sizeof cardNumber - 1);

  CALL(result, SBK_YKT_ICGETINFO(0, 0, &cardInfo, &status));
  Check(result == 0, "SBK_YKT_ICGETINFO reads the card");
  Check(status == 0, "SBK_YKT_ICGETINFO sets the status to 0");
  Check(cardInfo != untouched && cardInfo != number && cardInfo != icNumberCopy,
        "the card information line has a buffer of its own");
  strcpy(marker, "#2#");
  strncat(marker, cardNumber, sizeof marker - strlen(marker) - 5);
  strcat(marker, "#01#");
  Check(strstr(cardInfo, marker) != NULL, "the line carries the card number between its markers");
  Check(strchr(cardInfo, '|') == NULL, "the line holds no field separator");

  /* Texts live until the next call that writes their buffer. */
  CALL(result, CK_DKH(0, 0, kTrack, &number));
  Check(strcmp(icNumber, "0000123456") == 0,
        "after CK_DKH, QTZ_DKH's first pointer shows the magnetic card number");
  Check(strcmp(icNumberCopy, cardNumber) == 0, "while its second pointer keeps the IC number");
  CALL(result, QTZ_DKH(0, 0, 0, 0, &icNumber, &icNumberCopy));
  Check(result == 0 && strchr(cardInfo, '|') != NULL,
        "after QTZ_DKH, the information pointer shows the driver's raw record");

  /* The same functions through their pointer types. */
  Check(kErrorString(0, 0, 0) == 0 && kFindWindow2(0) == 0 && kHsxk(0, 0, 0, 0, 0, 0) == 0 &&
            kYktJkSd() == 0 && kPurchase(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) == 0 &&
            kTransLog(0, 0, 0) == 0,
        "the inactive functions answer 0 through their pointer types");
  number = NULL;
  Check(kMagneticCardNumber(0, 0, kTrack, &number) == 0 && strcmp(number, "0000123456") == 0,
        "CK_DKH answers through its pointer type");
  icNumber = NULL;
  icNumberCopy = NULL;
  Check(kIcCardNumber(0, 0, 0, 0, &icNumber, &icNumberCopy) == 0 && icNumber != NULL,
        "QTZ_DKH answers through its pointer type");
  cardInfo = NULL;
  status = 7;
  Check(kCardInfo(0, 0, &cardInfo, &status) == 0 && cardInfo != NULL && status == 0,
        "SBK_YKT_ICGETINFO answers through its pointer type");

  printf("%s: %d check(s) failed\n", failures == 0 ? "PASSED" : "FAILED", failures);
  return failures == 0 ? 0 : 1;
}
