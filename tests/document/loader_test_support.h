// A form stand-in for the loader, files made on the spot, and the choice of
// the ANSI code page for a test process.
#pragma once

#include "document/loader_host.h"
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace loader_testing {

// The loader's view of the form: its stored values and the order in which
// the loader asked for the choices to be read and for the refresh.
class FormStandIn : public LoaderHost {
public:
    CString text;
    CString file;
    std::vector<std::string> calls;

    CString& StoredText() override { return text; }
    CString& StoredFile() override { return file; }
    void ReadChoices() override { calls.emplace_back("read choices"); }
    void RefreshForm() override { calls.emplace_back("refresh"); }
};

// A fresh folder below the system's temporary folder, removed at the end,
// that answers paths for the loader.
class ScratchFolder {
public:
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
        folder_.file(name, bytes);
        return path() / name;
    }
    std::filesystem::path path() const { return folder_.path(); }

private:
    testing_support::TempFolder folder_{"tallyroll-loader"};
};

// The code page 0 of the process follows the locale at its first use; each
// test runs in a process of its own, so setting it before any conversion is
// enough.
inline void UseLocale(const char* locale) {
    ::setenv("LC_ALL", locale, 1);
}

inline CString PathOf(const std::filesystem::path& p) {
    return CString(p.string().c_str()); // the test folders are ASCII
}

} // namespace loader_testing
