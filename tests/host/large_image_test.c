/* A program image well over 1 MB, run from the build directory like every
 * test program: its read-only data, as the system mapped it, must hold what
 * the file on disk holds. A file share that hands the loader zero-filled
 * pages past some offset (seen with one way of sharing the build directory
 * with an emulated machine) makes programs crash in ways that look like bugs
 * of the library; this test names the cause instead. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#define BALLAST_SIZE (1536 * 1024)
#define BALLAST_BYTE 0xA5

/* 1.5 MB of non-zero read-only data, stored in the file. */
static const unsigned char ballast[BALLAST_SIZE] = {[0 ... BALLAST_SIZE - 1] = BALLAST_BYTE};

/* Offset of the first byte of ballast that is not BALLAST_BYTE, or -1. */
static long FirstWrongByte(void) {
  /* Read through volatile: the compiler knows the initial values and would
   * otherwise answer without looking at the mapped bytes. */
  const volatile unsigned char* mapped = ballast;
  for (long i = 0; i < BALLAST_SIZE; ++i) {
    if (mapped[i] != BALLAST_BYTE) return i;
  }
  return -1;
}

/* Compares every read-only section of the mapped image with the file's
 * bytes; returns the number of sections that differ. */
static int DifferingSections(HMODULE image, const unsigned char* file, DWORD fileSize) {
  const IMAGE_DOS_HEADER* dos = (const IMAGE_DOS_HEADER*)image;
  const IMAGE_NT_HEADERS* nt = (const IMAGE_NT_HEADERS*)((const char*)image + dos->e_lfanew);
  if ((DWORD_PTR)image != nt->OptionalHeader.ImageBase) {
    /* Relocated: code and data then differ from the file by design. */
    printf("image relocated from 0x%lx: only the read-only data is compared\n",
           (unsigned long)nt->OptionalHeader.ImageBase);
  }
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  int differing = 0;
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (section->Characteristics & IMAGE_SCN_MEM_WRITE) continue;
    if ((DWORD_PTR)image != nt->OptionalHeader.ImageBase &&
        !(section->Characteristics & IMAGE_SCN_CNT_INITIALIZED_DATA))
      continue;
    DWORD size = section->SizeOfRawData < section->Misc.VirtualSize ? section->SizeOfRawData
                                                                    : section->Misc.VirtualSize;
    if (section->PointerToRawData + size > fileSize) continue;
    if (memcmp((const char*)image + section->VirtualAddress, file + section->PointerToRawData,
               size) != 0) {
      printf("section %.8s (%lu bytes) differs from the file\n", (const char*)section->Name,
             (unsigned long)size);
      ++differing;
    }
  }
  return differing;
}

int main(void) {
  char path[MAX_PATH];
  if (GetModuleFileNameA(NULL, path, sizeof path) == 0) return 2;
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (handle == INVALID_HANDLE_VALUE) {
    printf("cannot open %s\n", path);
    return 2;
  }
  DWORD fileSize = GetFileSize(handle, NULL);
  unsigned char* file = (unsigned char*)HeapAlloc(GetProcessHeap(), 0, fileSize);
  DWORD read = 0;
  BOOL ok = file != NULL && ReadFile(handle, file, fileSize, &read, NULL) && read == fileSize;
  CloseHandle(handle);
  if (!ok) {
    printf("cannot read %s\n", path);
    return 2;
  }
  if (fileSize <= 1024 * 1024) {
    printf("%s is only %lu bytes: the test needs an image over 1 MB\n", path,
           (unsigned long)fileSize);
    return 1;
  }
  long wrong = FirstWrongByte();
  if (wrong >= 0) {
    printf("read-only data wrong from byte %ld of %d (0x%02x)\n", wrong, BALLAST_SIZE,
           ballast[wrong]);
  }
  int differing = DifferingSections(GetModuleHandleA(NULL), file, fileSize);
  printf("%s: %lu bytes, %s\n", path, (unsigned long)fileSize,
         wrong < 0 && differing == 0 ? "mapped as on disk" : "NOT mapped as on disk");
  return wrong < 0 && differing == 0 ? 0 : 1;
}
