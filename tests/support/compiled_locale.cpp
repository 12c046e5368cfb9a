#include "tests/support/compiled_locale.h"

#include "tests/support/shell_command.h"

#include <filesystem>

namespace testing_support {

bool CompileLocale(const std::string& folder, const std::string& name, const std::string& input,
                   const std::string& charmap) {
    // Shift-JIS is not ASCII-compatible to glibc (0x5C is YEN SIGN there),
    // which localedef warns about; the locale is made all the same.
    const std::string command = "localedef --no-warnings=ascii -i " + input + " -f " + charmap +
                                " '" + folder + "/" + name + "' >/dev/null 2>&1";
    (void)RunShellCommand(command);
    std::error_code ignored;
    return std::filesystem::is_directory(folder + "/" + name, ignored);
}

} // namespace testing_support
