# Defines TALLYROLL_VERSION ("2.0") and its numbers TALLYROLL_VERSION_MAJOR,
# _MINOR, _PATCH and _TWEAK (missing parts are 0) on an interface target.
function(tallyroll_version_definitions target version)
    string(REPLACE "." ";" parts "${version}")
    list(APPEND parts 0 0 0 0)
    list(GET parts 0 1 2 3 numbers)
    list(GET numbers 0 major)
    list(GET numbers 1 minor)
    list(GET numbers 2 patch)
    list(GET numbers 3 tweak)
    target_compile_definitions(${target} INTERFACE
        TALLYROLL_VERSION="${version}" TALLYROLL_VERSION_MAJOR=${major}
        TALLYROLL_VERSION_MINOR=${minor} TALLYROLL_VERSION_PATCH=${patch}
        TALLYROLL_VERSION_TWEAK=${tweak})
endfunction()
