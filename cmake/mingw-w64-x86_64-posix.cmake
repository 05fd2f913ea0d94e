# 64-bit Windows (x64) with Debian's MinGW-w64 cross compiler in the posix
# thread model, which std::thread needs and which Qt is built with; programs
# built with it need libwinpthread-1.dll beside them.
set(TARVELO_MINGW_TRIPLET x86_64-w64-mingw32)
set(TARVELO_MINGW_PROCESSOR AMD64)
set(TARVELO_MINGW_THREADS -posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
