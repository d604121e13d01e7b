# Cross-compiles for 32-bit Windows with mingw-w64. The win32 thread model:
# the C++ runtime then works on the system's own threads and locks, without
# winpthreads, which needs functions that Windows XP lacks (GetTickCount64)
# and keeps a thread-local storage index after each unload. There is no
# std::mutex or std::thread in this model; the logger has its own lock
# (logger/mutex.h). Windows programs are run under Wine by cmake/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
