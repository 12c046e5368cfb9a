# Cross build for 64-bit Windows with MinGW-w64 (Debian's gcc-mingw-w64).
set(TALLYROLL_MINGW_TRIPLET x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
