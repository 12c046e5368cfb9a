cmake_minimum_required(VERSION 3.25)
# Fails when a source file under one folder includes a header it may not:
# only headers under the allowed folders (the folder's own always among
# them), allowed single headers named by their path, and the C and C++
# standard library are let in.
#
#   cmake -DROOT=<source tree> -DFOLDER=<folder> -DALLOWED=<folder;folder...> -P includes_within.cmake
#
# Folders are relative to ROOT. A folder with no sources fails too: a check
# that reads nothing would pass for ever.
foreach(var ROOT FOLDER)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "${var} is not set")
    endif()
endforeach()

# The standard library's headers, C++ and C (both spellings of the C ones).
set(standard_headers
    algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex
    concepts condition_variable coroutine deque exception execution expected filesystem
    format forward_list fstream functional future initializer_list iomanip ios iosfwd
    iostream istream iterator latch limits list locale map memory memory_resource mutex new
    numbers numeric optional ostream queue random ranges ratio regex scoped_allocator
    semaphore set shared_mutex source_location span sstream stack stdexcept stop_token
    streambuf string string_view syncstream system_error thread tuple type_traits typeindex
    typeinfo unordered_map unordered_set utility valarray variant vector version
    cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal
    cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
    assert.h ctype.h errno.h fenv.h float.h inttypes.h limits.h locale.h math.h setjmp.h
    signal.h stdarg.h stddef.h stdint.h stdio.h stdlib.h string.h time.h uchar.h wchar.h
    wctype.h)

set(allowed_folders "${FOLDER}" ${ALLOWED})
file(GLOB_RECURSE sources RELATIVE "${ROOT}"
     "${ROOT}/${FOLDER}/*.cpp" "${ROOT}/${FOLDER}/*.h")
if(NOT sources)
    message(FATAL_ERROR "no sources under ${ROOT}/${FOLDER}")
endif()

set(refused "")
foreach(source IN LISTS sources)
    file(STRINGS "${ROOT}/${source}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        if(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
            if(CMAKE_MATCH_1 IN_LIST standard_headers)
                continue()
            endif()
        elseif(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(header "${CMAKE_MATCH_1}")
            set(inside FALSE)
            foreach(folder IN LISTS allowed_folders)
                string(LENGTH "${folder}/" length)
                string(SUBSTRING "${header}" 0 ${length} head)
                # Only a header directly in the folder or below it, by its full path.
                if(head STREQUAL "${folder}/" OR header STREQUAL folder)
                    set(inside TRUE)
                endif()
            endforeach()
            if(inside)
                continue()
            endif()
        endif()
        string(STRIP "${line}" line)
        list(APPEND refused "  ${source}: ${line}")
    endforeach()
endforeach()

if(refused)
    list(JOIN refused "\n" report)
    message(FATAL_ERROR "${FOLDER} may include only the standard library and "
                        "${ALLOWED}:\n${report}")
endif()
list(LENGTH sources count)
message(STATUS "${FOLDER}: ${count} files include only what they may")
