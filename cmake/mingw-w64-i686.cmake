# 32-bit Windows (x86) with Debian's MinGW-w64 cross compiler.
set(TARVELO_MINGW_TRIPLET i686-w64-mingw32)
set(TARVELO_MINGW_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
