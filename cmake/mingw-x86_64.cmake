# Cross-compiles for 64-bit Windows with mingw-w64: the 64-bit readcard.dll
# for 64-bit hosts. The same win32 thread model and static runtime as the
# 32-bit build (cmake/mingw-i686.cmake). Programs run under Wine's 64-bit
# side, in a 64-bit prefix of their own (build/wineprefix64), where 32-bit
# programs such as the driver host run too (WoW64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR env READCARD_WINE_ARCH=win64 ${CMAKE_CURRENT_LIST_DIR}/wine-run)
