# 64-bit Windows (x64) with Debian's MinGW-w64 cross compiler.
set(TARVELO_MINGW_TRIPLET x86_64-w64-mingw32)
set(TARVELO_MINGW_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
