# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX
# threads flavour, which the C++ threads of the standard library need); the
# programs run under Wine. MinGW's long double is the x87 80-bit format, as on
# Linux; MSVC's is the 64-bit double.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triplet x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static: the programs need none of MinGW's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Debian's wine64 package puts its loader in /usr/lib/wine; the wine package
# adds a wrapper on the PATH.
find_program(ROCRATING_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(ROCRATING_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ROCRATING_WINE})
endif()
