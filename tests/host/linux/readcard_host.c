/* A C host linked against libreadcard.so (cc host.c -lreadcard), as a
 * hospital's native program is, or against a Windows import library (the
 * 64-bit host of the win64 build): all ten functions, each answer printed
 * on one line, texts as the hex of their bytes (GBK, exactly as the library
 * hands them over). */
#include <stdio.h>

#include "readcard.h"

static void PrintText(const char* text) {
  if (text == NULL) {
    printf(" -");
    return;
  }
  putchar(' ');
  for (; *text != '\0'; ++text) printf("%02x", (unsigned char)*text);
}

int main(void) {
  const char* tracks[] = {"1234", "123456780000123456=009633791987654321"};
  char* number = NULL;
  char* copy = NULL;
  char* info = NULL;
  int status = 7;
  int result;
  unsigned i;

  printf("QTZ_DLL_BBH %d\n", QTZ_DLL_BBH());
  printf("inactive %d %d %d %d %d %d\n", QTZ_ErrorString(0, 0, 0), QTZ_FindWindow2(0),
         QTZ_HSXK(0, 0, 0, 0, 0, 0), QTZ_YKT_JK_SD(),
         SBK_YKT_ICPURCHASE(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), SBK_YKT_ICTRANSLOG(0, 0, 0));
  for (i = 0; i < sizeof tracks / sizeof tracks[0]; ++i) {
    number = NULL;
    result = CK_DKH(0, 0, tracks[i], &number);
    printf("CK_DKH %d", result);
    PrintText(number);
    putchar('\n');
  }
  number = NULL;
  result = QTZ_DKH(0, 0, 0, 0, &number, &copy);
  printf("QTZ_DKH %d", result);
  PrintText(number);
  PrintText(copy);
  putchar('\n');
  result = SBK_YKT_ICGETINFO(0, 0, &info, &status);
  printf("SBK_YKT_ICGETINFO %d %d", result, status);
  PrintText(info);
  putchar('\n');
  return 0;
}
