# Shared part of the MinGW-w64 cross toolchains; the including file sets
# TARVELO_MINGW_TRIPLET first. Debian's g++-mingw-w64 installs the compilers
# as <triplet>-gcc and <triplet>-g++, and the Windows headers and import
# libraries under /usr/<triplet>.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARVELO_MINGW_PROCESSOR})

# The win32 thread model by name: with the posix-model compilers installed as
# well, the plain names may point to those, and the kernel DLL would then
# need libwinpthread-1.dll beside it.
set(CMAKE_C_COMPILER ${TARVELO_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TARVELO_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${TARVELO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVELO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
