// A real folder tree under /tmp for a test, removed when the test ends.
#pragma once

#include <string>

namespace filedialog_test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // Creates a file (and the folders before it) relative to the root.
    void file(const std::string& relative, const std::string& content = "text\n") const;
    void folder(const std::string& relative) const;

private:
    std::string path_;
};

} // namespace filedialog_test
