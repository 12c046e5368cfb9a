# The Windows build: a MinGW-w64 cross build (cmake/toolchains/) in which the
# system is tier 1. See docs/windows.md.

# The host's compiler, for the tools the build runs here (the resource compiler).
set(TALLYROLL_HOST_CXX c++ CACHE STRING "C++ compiler of the build machine, for host tools")

# One .exe needing no DLLs but the system's: the C and C++ runtimes are linked in.
add_link_options(-static)

# The programs of this build run here under Wine, in a prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${PROJECT_SOURCE_DIR}/cmake/wine-run.sh;${CMAKE_BINARY_DIR}/wine-prefix")

# The installer, tallyroll-<version>-x64.msi (or -x86), compiled by wixl from
# packaging/tallyroll.wxs next to tallyroll.exe: `cmake --build --preset
# windows --target msi`. Its version is the project's, as is what --version
# says; the program's version block keeps the release's own numbers.
find_program(TALLYROLL_WIXL wixl)
find_program(TALLYROLL_MSIBUILD msibuild)
if(TALLYROLL_WIXL AND TALLYROLL_MSIBUILD)
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64")
        set(msi_arch x64)
        set(msi_program_files ProgramFiles64Folder)
        set(msi_win64 yes)
        set(msi_upgrade_code 69749469-634A-447B-A63A-54E24B8567F1)
    else()
        set(msi_arch x86)
        set(msi_program_files ProgramFilesFolder)
        set(msi_win64 no)
        set(msi_upgrade_code CD1B3EFF-0A47-4771-A262-1D7591FDB42D)
    endif()
    # An installer's version has three parts; the fourth would be ignored.
    set(msi_version "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0")
    if(NOT "${PROJECT_VERSION_PATCH}" STREQUAL "")
        set(msi_version "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
    endif()
    set(TALLYROLL_MSI "${CMAKE_BINARY_DIR}/tallyroll-${PROJECT_VERSION}-${msi_arch}.msi")
    set(msi_source "${PROJECT_SOURCE_DIR}/packaging/tallyroll.wxs")
    set(msi_readme "${PROJECT_SOURCE_DIR}/docs/windows-readme.txt")
    add_custom_command(
        OUTPUT "${TALLYROLL_MSI}"
        COMMAND "${CMAKE_COMMAND}" -E copy "${msi_readme}" README.txt
        COMMAND "${TALLYROLL_WIXL}" -a ${msi_arch} -D Version=${msi_version}
                -D UpgradeCode=${msi_upgrade_code} -D Win64=${msi_win64}
                -D ProgramFilesFolder=${msi_program_files} -o "${TALLYROLL_MSI}" "${msi_source}"
        # wixl knows no Environment element: the program's folder on PATH is
        # added to the database it wrote.
        COMMAND "${PROJECT_SOURCE_DIR}/packaging/add-path-entry.sh" "${TALLYROLL_MSI}"
        DEPENDS tallyroll tallyroll_console "${msi_source}" "${msi_readme}"
                "${PROJECT_SOURCE_DIR}/packaging/add-path-entry.sh"
        WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
        COMMENT "Building the installer tallyroll-${PROJECT_VERSION}-${msi_arch}.msi"
        VERBATIM)
    add_custom_target(msi ALL DEPENDS "${TALLYROLL_MSI}")
else()
    message(STATUS "wixl or msibuild (msitools) not found: no installer (tools/deps.sh installs it)")
endif()
