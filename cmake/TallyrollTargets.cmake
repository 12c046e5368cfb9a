# Shared compile settings for every target of the project.
add_library(tallyroll_options INTERFACE)
target_compile_options(tallyroll_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
    -Woverloaded-virtual -Wimplicit-fallthrough)
if(TALLYROLL_WERROR)
    target_compile_options(tallyroll_options INTERFACE -Werror)
endif()
# Project headers are included from the repository root: "engine/print_stream.h".
target_include_directories(tallyroll_options INTERFACE "${PROJECT_SOURCE_DIR}")
include(TallyrollVersion)
# The one version of the program, from project(VERSION): --version, the
# version block's numbers and the Windows installer all take it from here.
tallyroll_version_definitions(tallyroll_options "${PROJECT_VERSION}")

if(TALLYROLL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(TALLYROLL_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

if(TALLYROLL_COVERAGE)
    add_compile_options(-fprofile-instr-generate -fcoverage-mapping)
    add_link_options(-fprofile-instr-generate)
endif()

# tallyroll_library(NAME SOURCES... [DEPENDS libs...])
function(tallyroll_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC tallyroll_options ${ARG_DEPENDS})
endfunction()
