/* A host that reads one card through readcard.dll, in the directory's
   readcard.ini mode, and then waits to be ended: so that a test can end it
   abruptly while the driver host it started is running. */
#include <stdio.h>
#include <windows.h>

typedef int(__stdcall* CardNumberExport)(int, int, int, int, char**, char**);

int main(void) {
  HMODULE library = LoadLibraryA("readcard.dll");
  CardNumberExport read;
  char* number = NULL;
  char* copy = NULL;
  if (library == NULL) return 2;
  read = (CardNumberExport)(void*)GetProcAddress(library, "QTZ_DKH");
  if (read == NULL || read(0, 0, 0, 0, &number, &copy) != 0) return 3;
  Sleep(INFINITE);
  return 0;
}
