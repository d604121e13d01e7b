#include <windows.h>

// The library needs no per-process or per-thread work of its own: its static
// objects are built and destroyed by the runtime around this entry point.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
