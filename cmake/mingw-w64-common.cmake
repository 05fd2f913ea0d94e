# Shared part of the MinGW-w64 cross toolchains; the including file sets
# TARVELO_MINGW_TRIPLET first, and may set TARVELO_MINGW_THREADS to `-posix`
# (the default is `-win32`). Debian's g++-mingw-w64 installs the compilers as
# <triplet>-gcc[-posix|-win32] and <triplet>-g++[...], and the Windows headers
# and import libraries under /usr/<triplet>.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARVELO_MINGW_PROCESSOR})

# The thread model by name: with both models installed, the plain names may
# point to either. The kernel DLL is built with the win32 model, so that it
# needs no libwinpthread-1.dll beside it; the posix model's toolchain file
# asks for its own compilers.
if(NOT DEFINED TARVELO_MINGW_THREADS)
  set(TARVELO_MINGW_THREADS -win32)
endif()
set(CMAKE_C_COMPILER ${TARVELO_MINGW_TRIPLET}-gcc${TARVELO_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${TARVELO_MINGW_TRIPLET}-g++${TARVELO_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${TARVELO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVELO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
