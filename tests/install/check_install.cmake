cmake_minimum_required(VERSION 3.25)
# Installs the build into PREFIX and checks what a desktop needs is there.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    bin/tallyroll
    bin/tallyroll-vprinter
    share/man/man1/tallyroll.1
    share/man/man1/tallyroll-vprinter.1
    share/applications/tallyroll.desktop
    share/bash-completion/completions/tallyroll)
foreach(size 16 32 48 64 128)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/tallyroll.png)
endforeach()
foreach(path IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

# The CUPS backend runs as root only when it is mode 0700 (docs/cups.md).
if(CUPS_BACKEND)
    set(backend "${PREFIX}/${CUPS_BACKENDDIR}/tallyroll")
    if(NOT EXISTS "${backend}" OR NOT EXISTS "${PREFIX}/${CUPS_MODELDIR}/tallyroll.ppd")
        message(FATAL_ERROR "the CUPS backend or its PPD is not installed")
    endif()
    execute_process(COMMAND stat -c %a "${backend}" OUTPUT_VARIABLE mode OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT mode STREQUAL "700")
        message(FATAL_ERROR "the CUPS backend is mode ${mode}, not 700")
    endif()
endif()

file(STRINGS "${PREFIX}/share/applications/tallyroll.desktop" entry)
foreach(line "Terminal=true" "Exec=tallyroll" "Icon=tallyroll")
    if(NOT line IN_LIST entry)
        message(FATAL_ERROR "desktop entry lacks ${line}")
    endif()
endforeach()

# One version: what both programs print for --version and what their man
# pages' headers name is the project's.
foreach(program tallyroll tallyroll-vprinter)
    execute_process(COMMAND "${PREFIX}/bin/${program}" --version
                    OUTPUT_VARIABLE said RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT said STREQUAL "${program} ${VERSION}\n")
        message(FATAL_ERROR "${program} --version said '${said}' (${result}), not '${program} ${VERSION}'")
    endif()
    file(STRINGS "${PREFIX}/share/man/man1/${program}.1" header REGEX "^\\.TH ")
    if(NOT header MATCHES "\"Tallyroll ${VERSION}\"")
        message(FATAL_ERROR "${program}.1 names another version: ${header}")
    endif()
endforeach()

# Only the program and the printer are installed: no build tools or probes.
file(GLOB installed_programs RELATIVE "${PREFIX}/bin" "${PREFIX}/bin/*")
if(NOT installed_programs STREQUAL "tallyroll;tallyroll-vprinter")
    message(FATAL_ERROR "unexpected programs in bin/: ${installed_programs}")
endif()
message(STATUS "1 passed, 0 failed")
