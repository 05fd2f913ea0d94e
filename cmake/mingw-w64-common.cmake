# Shared part of the MinGW-w64 cross toolchains; the including file sets
# TARVELO_MINGW_TRIPLET first, and TARVELO_MINGW_THREADS to `-posix` or
# `-win32` to pick one thread model of Debian's compilers (unset: the
# alternatives' default). Debian's g++-mingw-w64 installs the compilers as
# <triplet>-gcc[-posix|-win32] and <triplet>-g++[...], and the Windows headers
# and import libraries under /usr/<triplet>.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARVELO_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${TARVELO_MINGW_TRIPLET}-gcc${TARVELO_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${TARVELO_MINGW_TRIPLET}-g++${TARVELO_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${TARVELO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVELO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
