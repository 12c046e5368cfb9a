# The Windows build: a MinGW-w64 cross build (cmake/toolchains/) in which the
# system is tier 1. See docs/windows.md.

# The host's compiler, for the tools the build runs here (the resource compiler).
set(TALLYROLL_HOST_CXX c++ CACHE STRING "C++ compiler of the build machine, for host tools")

# One .exe needing no DLLs but the system's: the C and C++ runtimes are linked in.
add_link_options(-static)

# The programs of this build run here under Wine, in a prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${PROJECT_SOURCE_DIR}/cmake/wine-run.sh;${CMAKE_BINARY_DIR}/wine-prefix")
