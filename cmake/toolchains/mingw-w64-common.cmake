# Shared by the MinGW-w64 toolchain files; TALLYROLL_MINGW_TRIPLET names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TALLYROLL_MINGW_TRIPLET})

# The posix thread model: GoogleTest needs std::mutex, which the win32 model
# of gcc 12 lacks. With -static its thread library is linked in, not a DLL.
set(CMAKE_C_COMPILER ${TALLYROLL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLYROLL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLYROLL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALLYROLL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

