#include "temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace filedialog_test {

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "filedialog-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempFolder::file(const std::string& relative, const std::string& content) const {
    const fs::path p = fs::path(path_) / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << content;
}

void TempFolder::folder(const std::string& relative) const {
    fs::create_directories(fs::path(path_) / relative);
}

} // namespace filedialog_test
