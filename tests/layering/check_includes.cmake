# cmake -DFOLDER=<dir> -DALLOWED=<prefix;prefix...> -P check_includes.cmake
#
# Fails when a source or header under FOLDER includes a project header whose
# path starts with none of the ALLOWED prefixes (given from the tree's root,
# as the includes are written), or a header in angle brackets that is not one
# of the C++ standard library's (those have no extension and no folder).
# Generated sources are not under the folder and are not checked.
if(NOT FOLDER OR NOT ALLOWED)
    message(FATAL_ERROR "usage: cmake -DFOLDER=<dir> -DALLOWED=<prefixes> -P check_includes.cmake")
endif()
get_filename_component(FOLDER "${FOLDER}" ABSOLUTE)
if(NOT IS_DIRECTORY "${FOLDER}")
    message(FATAL_ERROR "${FOLDER}: no such folder")
endif()

file(GLOB_RECURSE sources LIST_DIRECTORIES false
     "${FOLDER}/*.h" "${FOLDER}/*.hpp" "${FOLDER}/*.cpp" "${FOLDER}/*.cc" "${FOLDER}/*.inc")
if(NOT sources)
    message(FATAL_ERROR "${FOLDER}: no sources to check")
endif()

set(offences "")
foreach(source ${sources})
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include")
    file(RELATIVE_PATH shown "${FOLDER}" "${source}")
    foreach(line ${lines})
        if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(header "${CMAKE_MATCH_1}")
            set(allowed FALSE)
            foreach(prefix ${ALLOWED})
                string(FIND "${header}" "${prefix}" at)
                if(at EQUAL 0)
                    set(allowed TRUE)
                    break()
                endif()
            endforeach()
            if(NOT allowed)
                string(APPEND offences "  ${shown}: \"${header}\"\n")
            endif()
        elseif(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
            set(header "${CMAKE_MATCH_1}")
            if(NOT header MATCHES "^[a-z_]+$")
                string(APPEND offences "  ${shown}: <${header}>\n")
            endif()
        else()
            string(APPEND offences "  ${shown}: ${line}\n")
        endif()
    endforeach()
endforeach()

if(offences)
    string(REPLACE ";" ", " allowed_list "${ALLOWED}")
    message(FATAL_ERROR "${FOLDER} may include only ${allowed_list} and the C++ standard "
                        "library; these includes reach further:\n${offences}")
endif()
