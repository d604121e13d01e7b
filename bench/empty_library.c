/* The floor of a first load: a DLL with the C runtime's start-up and nothing
   else, answering QTZ_DLL_BBH as readcard.dll does. */
#include <stdint.h>

int32_t __stdcall QTZ_DLL_BBH(void) { return 86; }
