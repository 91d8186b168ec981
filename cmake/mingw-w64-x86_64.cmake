# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads:
# std::thread and std::mutex need them). Used for Qt, libxlsxwriter,
# GoogleTest and the program alike (scripts/windows).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries and headers come from the mingw sysroot and the prefixes given
# on the command line; programs (moc, rcc, uic) and host packages from the
# host, which is why packages may be found on both sides.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Tests and programs run under Wine.
find_program(VASTREL_WINE NAMES wine64 wine)
if(VASTREL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VASTREL_WINE})
endif()
